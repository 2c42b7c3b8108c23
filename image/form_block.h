// The form block of the clock corrector: one form, 0x52010001, with its 11 units, laid down
// as constant bytes when the program is built.
#pragma once

#include <cstdint>

#include "kx/word.h"

namespace kx::image {

const std::uint8_t* FormBlock();
Word FormBlockSize();

}  // namespace kx::image
