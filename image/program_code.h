// The start of program code: the 4-byte stub and, right behind it at codeBase, the table of
// jump thunks through which the runtime reaches program routines. Routine i's stored
// offset is kRoutineThunkSize * i.
#pragma once

#include "kx/program_routine.h"
#include "kx/program_routines.h"
#include "kx/word.h"

extern "C" const unsigned char kx_program_code[];

namespace kx::image {

inline constexpr Word kProgramCodeStubSize = 4;
Word CodeBase();

constexpr Word RoutineOffset(ProgramRoutine routine) {
    return kRoutineThunkSize * static_cast<Word>(routine);
}

}  // namespace kx::image
