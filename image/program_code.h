// The start of program code and codeBase, just behind its 4-byte stub.
#pragma once

#include "kx/word.h"

extern "C" const unsigned char kx_program_code[];

namespace kx::image {

inline constexpr Word kProgramCodeStubSize = 4;
Word CodeBase();

}  // namespace kx::image
