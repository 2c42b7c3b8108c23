// How a window value (data type 0x00010001: form id, unit id) names its window handle, for
// commands that take an owner window. The form layer answers; a unit that is not loaded
// names no window. Any thread.
#pragma once

#include "kx/value_cell.h"

namespace kx::commands {

// The handle of the window a window value refers to, or null.
void* WindowHandleOf(const ValueCell& window);

}  // namespace kx::commands
