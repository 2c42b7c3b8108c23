// The clock corrector's program image as the runtime reads it.
#include "kx/program_image.h"

#include <gtest/gtest.h>

#include "kx/program_calls.h"
#include "thread_library.h"

namespace kx {
namespace {

TEST(ProgramImage, CodeBaseLiesBehindTheStubRoutines) {
    const Word codeBase = image::Header().codeBase;
    EXPECT_EQ(FromWord<int (*)()>(codeBase - 4)(), 0);
    FromWord<void (*)()>(codeBase - 2)();  // returns at once
    const auto* stub = FromWord<const unsigned char*>(codeBase - 4);
    EXPECT_EQ(stub[2], 0xC3);  // the second routine is a lone return
}

TEST(ProgramImage, EveryLibraryCommandResolvesThroughItsTable) {
    // The thread library's table is deliberately unaligned; program code must still read it.
    const auto* libraries = FromWord<const Word*>(image::Header().libraries);
    for (Word library = 0; library < image::Header().libraryCount; ++library) {
        const auto& descriptor = *FromWord<const LibraryDescriptor*>(libraries[library]);
        EXPECT_NE(descriptor.notify, 0u);
        for (Word i = 0; i < descriptor.commandCount; ++i) {
            EXPECT_NE(program::CommandAddress(library, i), 0u) << library << ":" << i;
        }
    }
    EXPECT_EQ(program::CommandAddress(image::kThreadLibrary, 0),
              ToWord(&threads::StartThread));
}

}  // namespace
}  // namespace kx
