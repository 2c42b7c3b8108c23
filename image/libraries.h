// The library descriptors laid down in the image, in library-number order.
#pragma once

#include "kx/image_format.h"
#include "kx/program_image.h"

namespace kx::image {

extern const LibraryDescriptor kCoreLibraryDescriptor;
extern const LibraryDescriptor kThreadLibraryDescriptor;

}  // namespace kx::image
