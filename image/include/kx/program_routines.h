// The program's event routines by their place in the thunk table behind the code stub. The
// form block binds events to these places; program code binds each place to its routine
// once, before the start form is loaded. Until then a place runs a routine that does nothing.
#pragma once

#include "kx/program_routine.h"
#include "kx/word.h"

namespace kx::image {

// Thunk order.
enum class ProgramRoutine : Word {
    kOnWindowCreated = 0,
    kOnTimerTick = 1,
    kOnSync = 2,
    kOnRoundToMinute = 3,
    kOnPlusMinute = 4,
    kOnMinusMinute = 5,
    kOnPlusSecond = 6,
    kOnMinusSecond = 7,
};
inline constexpr Word kProgramRoutineCount = 8;

// Main thread, before the routines can be called.
void BindProgramRoutine(ProgramRoutine place, ProgramRoutineFn routine);

}  // namespace kx::image
