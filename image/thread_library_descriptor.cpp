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

const LibraryDescriptor kThreadLibraryDescriptor = DescribeLibrary({
    .identifier = kThreadIdentifier,
    .displayName = kThreadDisplayName,
    .versionMajor = 2,
    .versionMinor = 0,
    .buildNumber = 3,
    .flags = 0xC0000000,
    .commandCount = 1,
    .commandFunctions = ToWord(&kThreadCommands.commands),
    .notify = ToWord(&threads::ThreadLibraryNotify),
});

}  // namespace kx::image
