// The one calling convention of program routines that the runtime calls with arguments:
// event routines. A routine receives its argument words in argument order with their count
// and says whether it returned a value by setting `hasValue`. Works alike in both builds.
// The routines are reached through the jump thunks behind the program's code stub.
#pragma once

#include "kx/word.h"

namespace kx {

struct RoutineResult {
    Word hasValue = 0;  // 1 when the routine returned a value
    Word low = 0;
    Word high = 0;      // the second word of an 8-byte value
};

using ProgramRoutineFn = void (*)(const Word* arguments, Word count, RoutineResult* result);

// Stride of the thunk table behind the code stub: thunk i lies at codeBase + 8 * i.
inline constexpr Word kRoutineThunkSize = 8;

}  // namespace kx
