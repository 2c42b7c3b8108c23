#include "libraries.h"

namespace kx::image {

LibraryDescriptor DescribeLibrary(const LibraryFields& fields) {
    return {
        .formatStamp = kLibraryFormatStamp,
        .identifier = ToWord(fields.identifier),
        .versionMajor = fields.versionMajor,
        .versionMinor = fields.versionMinor,
        .buildNumber = fields.buildNumber,
        .requiredVersions = {3, 7, 3, 7},
        .displayName = ToWord(fields.displayName),
        .language = 1,
        .reserved44 = 0,
        .flags = fields.flags,
        .reserved52 = {},
        .dataTypeCount = fields.dataTypeCount,
        .dataTypes = fields.dataTypes,
        .reserved92 = {},
        .commandCount = fields.commandCount,
        .commandInfo = 0,
        .commandFunctions = fields.commandFunctions,
        .reserved112 = {},
        .notify = fields.notify,
        .reserved124 = {},
    };
}

}  // namespace kx::image
