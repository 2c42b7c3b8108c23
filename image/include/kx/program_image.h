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

// Units of the start form, by unit id.
namespace unit {
inline constexpr Word kWindow = 0x06010000;
inline constexpr Word kButton6 = 0x16012ABE;
inline constexpr Word kTimer1 = 0x16010004;
inline constexpr Word kLabel3 = 0x16012ABA;
inline constexpr Word kButton5 = 0x1601000B;
inline constexpr Word kButton4 = 0x1601000A;
inline constexpr Word kButton3 = 0x16010009;
inline constexpr Word kButton2 = 0x16010008;
inline constexpr Word kButton1 = 0x16010007;
inline constexpr Word kLabel2 = 0x16010003;
inline constexpr Word kLabel1 = 0x16010002;
}  // namespace unit

// The application's display name: the text of 标签1 and the window title behind "Velmo".
inline constexpr char kDisplayName[] = " 校时工具";

}  // namespace kx::image
