// The library descriptors laid down in the image, in library-number order.
#pragma once

#include "kx/image_format.h"
#include "kx/program_image.h"

namespace kx::image {

// What tells this runtime's libraries apart; the rest of a descriptor is the same for all of
// them (format stamp, required versions, language, no command information).
struct LibraryFields {
    const char* identifier;   // 32 hexadecimal characters
    const char* displayName;
    Word versionMajor;
    Word versionMinor;
    Word buildNumber;
    Word flags;
    Word dataTypeCount = 0;
    Word dataTypes = 0;
    Word commandCount;
    Word commandFunctions;
    Word notify = 0;
};
LibraryDescriptor DescribeLibrary(const LibraryFields& fields);

extern const LibraryDescriptor kCoreLibraryDescriptor;
extern const LibraryDescriptor kThreadLibraryDescriptor;

// Not in the clock corrector's library list: for programs that read the COM failure code.
inline constexpr Word kComStatusCommandCount = 1;
extern const LibraryDescriptor kComStatusLibraryDescriptor;

}  // namespace kx::image
