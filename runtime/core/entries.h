// The runtime's exports that a program image refers to: the thirteen entries of the
// RuntimeEntryTable and the service routine handed to libraries. Any thread.
#pragma once

#include <cstdint>

#include "errors.h"
#include "kx/entry_table.h"
#include "kx/value_cell.h"
#include "memory.h"

namespace kx {

DllFunction RtCallDllCommand(std::uint32_t number);
ValueCell RtCallLibraryCommand(std::uint32_t libraryNumber, Word command, std::int32_t count,
                               ValueCell* args);
ValueCell RtCallCoreCommand(Word command, std::int32_t count, ValueCell* args);
std::uint64_t RtReadProperty(Word formId, Word unitId, std::int32_t property,
                             std::int32_t element);
void RtWriteProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element,
                     Word valueLow, Word valueHigh);
[[noreturn]] void RtEndProgram(std::int32_t exitCode);
void RtRunUntilWindowsClosed();
void RtLoadStartForm(Word formId);
Word RtService(std::uint32_t number, Word arg1, Word arg2, Word arg3, Word arg4, Word arg5,
               Word arg6);

// The library number of the RtCallLibraryCommand call running on this thread (-1: none).
std::int32_t CurrentLibraryNumber();

// The RuntimeServiceFn that libraries receive with notify code 1.
std::int32_t RuntimeService(std::int32_t code, Word param1, Word param2);

}  // namespace kx
