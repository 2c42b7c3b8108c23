// The library descriptors laid down in the image, in library-number order.
#pragma once

#include "kx/image_format.h"
#include "kx/program_image.h"

namespace kx::image {

extern const LibraryDescriptor kCoreLibraryDescriptor;
extern const LibraryDescriptor kThreadLibraryDescriptor;

// Not in the clock corrector's library list: for programs that read the COM failure code.
inline constexpr Word kComStatusCommandCount = 1;
extern const LibraryDescriptor kComStatusLibraryDescriptor;

}  // namespace kx::image
