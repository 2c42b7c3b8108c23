// The COM status library: one command that answers the calling thread's failure code of
// the last COM member call. A program that reads the code lists this library in its image
// and calls command 0 with RtCallLibraryCommand; the clock corrector does not read it.
#include "failure_code.h"
#include "libraries.h"

namespace kx::image {

namespace {

const Word kComStatusCommands[kComStatusCommandCount] = {
    ToWord(&com::ComFailureCodeCommand),  // 0
};

const char kComStatusIdentifier[] = "3E9B7C2A51D84F06B2A4C8E1F0D3A695";
const char kComStatusDisplayName[] = "对象状态支持库";

}  // namespace

const LibraryDescriptor kComStatusLibraryDescriptor = DescribeLibrary({
    .identifier = kComStatusIdentifier,
    .displayName = kComStatusDisplayName,
    .versionMajor = 1,
    .versionMinor = 0,
    .buildNumber = 1,
    .flags = 0xC0000000,
    .commandCount = kComStatusCommandCount,
    .commandFunctions = ToWord(kComStatusCommands),
});

}  // namespace kx::image
