// The thread library's descriptor and its one-entry command table.
#include "libraries.h"
#include "thread_library.h"

namespace kx::image {

namespace {

// The table is deliberately not 4-byte aligned: readers of command tables must not assume
// alignment.
struct __attribute__((packed)) ThreadCommandTable {
    unsigned char lead;
    Word commands[1];
};
const ThreadCommandTable kThreadCommands = {0, {ToWord(&threads::StartThread)}};  // 0

const char kThreadIdentifier[] = "C81E4D7A26B9453F9E0A7D21B64C58F3";
const char kThreadDisplayName[] = "多线程支持库";

}  // namespace

const LibraryDescriptor kThreadLibraryDescriptor = {
    .formatStamp = kLibraryFormatStamp,
    .identifier = ToWord(kThreadIdentifier),
    .versionMajor = 2,
    .versionMinor = 0,
    .buildNumber = 3,
    .requiredVersions = {3, 7, 3, 7},
    .displayName = ToWord(kThreadDisplayName),
    .language = 1,
    .reserved44 = 0,
    .flags = 0xC0000000,
    .reserved52 = {},
    .dataTypeCount = 0,
    .dataTypes = 0,
    .reserved92 = {},
    .commandCount = 1,
    .commandInfo = 0,
    .commandFunctions = ToWord(&kThreadCommands.commands),
    .reserved112 = {},
    .notify = ToWord(&threads::ThreadLibraryNotify),
    .reserved124 = {},
};

}  // namespace kx::image
