// The thread library (library 1): StartThread runs a program subroutine on a new thread.
// The library keeps the runtime's service routine and a list of critical sections that it
// deletes at program end. Any thread.
#pragma once

#include "kx/value_cell.h"

namespace kx::threads {

// (start routine, parameter, handle variable) -> logical: 1 when the thread was created.
void StartThread(ValueCell* result, std::int32_t count, ValueCell* args);

std::int32_t ThreadLibraryNotify(std::int32_t code, Word param1, Word param2);

// A new critical section owned by the library until program end (null when out of memory).
void* NewOwnedCriticalSection();
std::size_t OwnedCriticalSectionCount();

}  // namespace kx::threads
