// Hands this image to the process entry. Kept apart from the image itself so that tools and
// tests can read the image without becoming the program.
#include "kx/program_binding.h"
#include "kx/program_image.h"

const kx::ProgramImageHeader& kx::program_binding::Image() { return kx::image::Header(); }
