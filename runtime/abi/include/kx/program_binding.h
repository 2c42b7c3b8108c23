// What a program supplies to the process entry: its image header and its entry routine.
#pragma once

#include "kx/image_format.h"

namespace kx::program_binding {

const ProgramImageHeader& Image();
int Entry();

}  // namespace kx::program_binding
