#include "event_routines.h"

#include "clock_buttons.h"
#include "clock_display.h"
#include "kx/program_routines.h"
#include "startup.h"

namespace clock_app {

namespace {

using kx::image::ProgramRoutine;

// Every event routine of this program takes no arguments and returns no value.
template <void (*Routine)()>
void Event(const kx::Word*, kx::Word, kx::RoutineResult*) {
    Routine();
}

}  // namespace

void BindEventRoutines() {
    using kx::image::BindProgramRoutine;
    BindProgramRoutine(ProgramRoutine::kOnWindowCreated, Event<OnWindowCreated>);
    BindProgramRoutine(ProgramRoutine::kOnTimerTick, Event<OnTimerTick>);
    BindProgramRoutine(ProgramRoutine::kOnSync, Event<OnSync>);
    BindProgramRoutine(ProgramRoutine::kOnRoundToMinute, Event<OnRoundToMinute>);
    BindProgramRoutine(ProgramRoutine::kOnPlusMinute, Event<OnPlusMinute>);
    BindProgramRoutine(ProgramRoutine::kOnMinusMinute, Event<OnMinusMinute>);
    BindProgramRoutine(ProgramRoutine::kOnPlusSecond, Event<OnPlusSecond>);
    BindProgramRoutine(ProgramRoutine::kOnMinusSecond, Event<OnMinusSecond>);
}

}  // namespace clock_app
