// The thirteen runtime entries that program code calls, their slot order and signatures.
// Program code reaches the runtime only through a RuntimeEntryTable laid down in its image;
// library code reaches it through the RuntimeServiceFn it is handed at start-up.
// Every entry may be called from any thread; none takes a lock.
#pragma once

#include <cstdint>

#include "kx/value_cell.h"
#include "kx/word.h"

namespace kx {

enum class EntrySlot : std::uint32_t {
    kRaiseError = 0,
    kCallDllCommand = 1,
    kCallLibraryCommand = 2,
    kCallCoreCommand = 3,
    kReadProperty = 4,
    kWriteProperty = 5,
    kAlloc = 6,
    kRealloc = 7,
    kFree = 8,
    kEndProgram = 9,
    kRunUntilWindowsClosed = 10,
    kLoadStartForm = 11,
    kService = 12,
};
inline constexpr std::uint32_t kEntrySlotCount = 13;

struct RuntimeEntryTable {
    Word slots[kEntrySlotCount];  // entry addresses, in EntrySlot order
};
static_assert(sizeof(RuntimeEntryTable) == 13 * sizeof(Word));

// Signatures. The "extra inputs" of the calling entries come first.
using RtRaiseErrorFn = void (*)(std::int32_t code, std::int32_t location1, std::int32_t location2);
// The address of a DLL function. It is the system's, not the program's: it never goes into
// a word and is held at full size (system libraries may lie above 4 GiB in the x64 build).
using DllFunction = void (*)();
// Resolves DLL command `number` (binding it on first use) and returns the function's address;
// program code then calls it, typed as declared, with the declared arguments.
using RtCallDllCommandFn = DllFunction (*)(std::uint32_t number);
using RtCallLibraryCommandFn = ValueCell (*)(std::uint32_t libraryNumber, Word command,
                                             std::int32_t count, ValueCell* args);
using RtCallCoreCommandFn = ValueCell (*)(Word command, std::int32_t count, ValueCell* args);
using RtReadPropertyFn = std::uint64_t (*)(Word formId, Word unitId, std::int32_t property,
                                           std::int32_t element);
using RtWritePropertyFn = void (*)(Word formId, Word unitId, std::int32_t property,
                                   std::int32_t element, Word valueLow, Word valueHigh);
using RtAllocFn = void* (*)(std::uint32_t size);
using RtReallocFn = void* (*)(void* address, std::uint32_t size);
using RtFreeFn = void (*)(void* address);
using RtEndProgramFn = void (*)(std::int32_t exitCode);
using RtRunUntilWindowsClosedFn = void (*)();
using RtLoadStartFormFn = void (*)(Word formId);
// A numbered runtime service with up to six argument words; unused ones are 0. Service 4's
// 8-byte value does not fit the one result word: its fifth argument is the address of 8
// bytes that receive it (the result word is its low word).
using RtServiceFn = Word (*)(std::uint32_t number, Word arg1, Word arg2, Word arg3, Word arg4,
                             Word arg5, Word arg6);

// Numbered runtime services (RtService).
enum class ServiceNumber : std::uint32_t {
    kFindFile = 0,
    kFindClose = 1,
    kMakeArrayWritable = 2,
    kAddExitRoutine = 3,
    kReadUnitProperty = 4,
    kWriteUnitProperty = 5,
    kInitRuntime = 6,
};
inline constexpr std::uint32_t kServiceCount = 7;

}  // namespace kx
