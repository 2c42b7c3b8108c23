// The program image: the read-only header and tables through which a compiled program
// describes itself to the runtime. Every field is a little-endian 32-bit word; addresses
// are absolute 32-bit addresses into the process. Layouts only; no state.
#pragma once

#include <cstddef>
#include <cstdint>

#include "kx/word.h"

namespace kx {

struct ProgramImageHeader {
    Word buildKind;        // 3: self-contained program
    Word imageWord1;
    Word imageWord2;       // kept in RuntimeApp plus one
    Word codeBase;         // just behind the 4-byte stub that opens program code
    Word constBlock;
    Word constBlockSize;   // 0: no constants block
    Word formBlock;
    Word formBlockSize;    // 0: no forms
    Word libraryCount;
    Word libraries;        // -> libraryCount words, each -> LibraryDescriptor or 0
    Word dllCommandCount;
    Word dllLibraryNames;  // -> dllCommandCount words, each -> zero-terminated text
    Word dllEntryNames;    // -> dllCommandCount words; "#n" names ordinal n
};
static_assert(sizeof(ProgramImageHeader) == 13 * sizeof(Word));
static_assert(offsetof(ProgramImageHeader, codeBase) == 12);
static_assert(offsetof(ProgramImageHeader, formBlockSize) == 28);
static_assert(offsetof(ProgramImageHeader, dllEntryNames) == 48);

inline constexpr Word kBuildKindSelfContained = 3;
inline constexpr Word kBuildKindDebugging = 2;
inline constexpr Word kLibraryFormatStamp = 20000101;

struct LibraryDescriptor {
    Word formatStamp;          // 0
    Word identifier;           // 4: -> 32 hexadecimal characters
    Word versionMajor;         // 8
    Word versionMinor;         // 12
    Word buildNumber;          // 16
    Word requiredVersions[4];  // 20
    Word displayName;          // 36
    Word language;             // 40
    Word reserved44;           // 44
    Word flags;                // 48
    Word reserved52[8];        // 52
    Word dataTypeCount;        // 84
    Word dataTypes;            // 88: -> dataTypeCount consecutive DataTypeRecords
    Word reserved92[2];        // 92
    Word commandCount;         // 100
    Word commandInfo;          // 104
    Word commandFunctions;     // 108: -> commandCount CommandFn words, maybe unaligned
    Word reserved112[2];       // 112
    Word notify;               // 120: LibraryNotifyFn or 0
    Word reserved124[5];       // 124
};
static_assert(sizeof(LibraryDescriptor) == 144);
static_assert(offsetof(LibraryDescriptor, displayName) == 36);
static_assert(offsetof(LibraryDescriptor, flags) == 48);
static_assert(offsetof(LibraryDescriptor, dataTypeCount) == 84);
static_assert(offsetof(LibraryDescriptor, dataTypes) == 88);
static_assert(offsetof(LibraryDescriptor, commandCount) == 100);
static_assert(offsetof(LibraryDescriptor, commandFunctions) == 108);
static_assert(offsetof(LibraryDescriptor, notify) == 120);

struct DataTypeRecord {
    Word chineseName;        // 0
    Word englishName;        // 4
    Word reserved8[3];       // 8
    Word typeFlags;          // 20
    Word reserved24[3];      // 24
    Word propertyCount;      // 36
    Word propertyTable;      // 40
    Word interfaceFunction;  // 44
    Word reserved48[2];      // 48
};
static_assert(sizeof(DataTypeRecord) == 56);
static_assert(offsetof(DataTypeRecord, typeFlags) == 20);
static_assert(offsetof(DataTypeRecord, propertyCount) == 36);
static_assert(offsetof(DataTypeRecord, interfaceFunction) == 44);

// A library's notification routine and the runtime's service routine for libraries.
using LibraryNotifyFn = std::int32_t (*)(std::int32_t code, Word param1, Word param2);
using RuntimeServiceFn = std::int32_t (*)(std::int32_t code, Word param1, Word param2);

inline constexpr std::int32_t kNotifyStartup = 1;   // param1: the RuntimeServiceFn
inline constexpr std::int32_t kNotifyShutdown = 6;  // param1: the library's state word
inline constexpr std::int32_t kNotifyNotHandled = -1;

// Codes of the RuntimeServiceFn that libraries of this runtime use.
namespace library_service {
inline constexpr std::int32_t kLoadDefaultIcons = 1000;
inline constexpr std::int32_t kUnitDestroyed = 2000;
inline constexpr std::int32_t kFormCollection = 1001;
inline constexpr std::int32_t kDataTypeRecord = 1002;
inline constexpr std::int32_t kProgramDirectory = 2003;
inline constexpr std::int32_t kProgramFileName = 2004;
inline constexpr std::int32_t kUnitWindowObject = 2006;
inline constexpr std::int32_t kUnitWindowObjectOrError = 2007;
inline constexpr std::int32_t kCallEventRoutine = 2008;
inline constexpr std::int32_t kSuppressEvents = 2009;
inline constexpr std::int32_t kAllowEvents = 2010;
inline constexpr std::int32_t kProcessPendingMessages = 2018;
inline constexpr std::int32_t kFreeArray = 2023;
inline constexpr std::int32_t kAlloc = 2024;
inline constexpr std::int32_t kFree = 2025;
inline constexpr std::int32_t kRealloc = 2026;
inline constexpr std::int32_t kRaiseErrorText = 2027;
inline constexpr std::int32_t kEndProgram = 2028;
inline constexpr std::int32_t kDataTypeRecordAlias = 2029;
inline constexpr std::int32_t kBuildKind = 2030;
inline constexpr std::int32_t kCallEventRoutineTyped = 2031;
}  // namespace library_service

}  // namespace kx
