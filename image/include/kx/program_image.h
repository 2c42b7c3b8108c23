// The program image of the clock corrector as program code sees it: the header, the entry
// table through which it reaches the runtime, and the numbers by which it names library
// commands, DLL commands and its form. Read-only data; any thread.
#pragma once

#include <cstdint>

#include "kx/entry_table.h"
#include "kx/image_format.h"

namespace kx::image {

const ProgramImageHeader& Header();
const RuntimeEntryTable& EntryTable();

inline constexpr Word kCoreLibrary = 0;
inline constexpr Word kThreadLibrary = 1;
inline constexpr Word kLibraryCount = 2;
inline constexpr Word kCoreCommandCount = 39;
inline constexpr Word kCoreDataTypeCount = 51;

// Indices in the core library's command table.
enum class CoreCommand : std::uint32_t {
    kNow = 0,
    kSecondOf = 1,
    kToText = 2,
    kMessageBox = 3,
    kClear = 4,
    kCreate = 5,
    kAssign = 6,
    kCallMethod = 7,
    kWriteProperty = 8,
    kFindText = 9,
    kToByteArray = 10,
    kTextLength = 11,
    kReplaceSubtext = 12,
    kSplitText = 13,
    kSetVariant = 14,
    kReadVariant = 15,
    kVariantToBytes = 16,
    kClearVariant = 17,
    kReadText = 18,
    kReadNumber = 19,
    kTrimSpaces = 20,
    kLeftText = 21,
    kMidText = 22,
    kRightText = 23,
    kCharCodeAt = 24,
    kToUpperCase = 25,
    kByteArrayLength = 26,
    kRemainder = 27,
    kBlankByteArray = 28,
    kShiftRight = 29,
    kBitAnd = 30,
    kShiftLeft = 31,
    kToByte = 32,
    kFindTextBackwards = 33,
    kCharFromCode = 34,
    kMidByteArray = 35,
    kMakeDateTime = 36,
    kAddInterval = 37,
    kSetClock = 38,
};

enum class ThreadCommand : std::uint32_t { kStartThread = 0 };

enum class DllCommand : std::uint32_t {
    kCoInitialize = 0,
    kCoUninitialize = 1,
    kInternetTimeToSystemTime = 2,
};
inline constexpr Word kDllCommandCount = 3;

inline constexpr Word kStartFormId = 0x52010001;

}  // namespace kx::image
