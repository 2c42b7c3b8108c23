// How a window value (data type 0x00010001) names its window handle, for commands that
// take an owner window. The form layer, which owns window objects, installs the lookup;
// without one a window value names no window. Install before threads start.
#pragma once

#include "kx/value_cell.h"

namespace kx::commands {

// The handle of the window a window value refers to, or null.
using WindowHandleLookup = void* (*)(const ValueCell& window);

// Installs `lookup` (null: none); returns the previous one.
WindowHandleLookup InstallWindowHandleLookup(WindowHandleLookup lookup);

// The handle through the installed lookup; null without one.
void* WindowHandleOf(const ValueCell& window);

}  // namespace kx::commands
