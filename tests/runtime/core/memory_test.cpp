// The runtime heap and the constants rule: a constant is never freed and only ever copied
// up to the end of its block.
#include <windows.h>

#include <cstring>

#include "entries.h"
#include "kx/image_format.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

using testing::TestImage;

class Memory : public testing::RuntimeTest {};

// A constants block that is itself a heap block shows whether anything freed it; a worker
// may still free or resize its texts while the process ends.
TEST(MemoryConstants, AConstantIsNeverFreedBeforeOrAfterShutdown) {
    const HANDLE heap = GetProcessHeap();
    for (const bool ended : {false, true}) {
        auto* block = static_cast<std::uint8_t*>(HeapAlloc(heap, 0, 64));
        std::memset(block, 'c', 64);
        TestImage image;
        image.UseConstantsBlock(block, 64);
        {
            RuntimeApp app(&image.header(), testing::EmptyProgramEntry);
            app.InitRuntime();
            if (ended) app.End(0);
            RtFree(nullptr);
            RtFree(block);
            RtFree(block + 5);
            auto* copy = static_cast<std::uint8_t*>(RtRealloc(block + 60, 16));
            EXPECT_NE(copy, block + 60);
            EXPECT_EQ(std::memcmp(copy, "cccc", 4), 0);
            RtFree(copy);
            EXPECT_EQ(ReadableBytes(block + 10), 54u);
            EXPECT_TRUE(HeapValidate(heap, 0, block)) << "ended " << ended;
        }
        HeapFree(heap, 0, block);
    }
}

TEST_F(Memory, ResizingAConstantCopiesNeverPastTheEndOfTheBlock) {
    std::uint8_t* const constants = image_.constants();
    std::memset(constants, 'c', TestImage::kConstantsSize);
    struct Row { std::uint32_t offset, newSize, copied; };
    const Row rows[] = {
        {0, 10, 10},                              // smaller: exactly the new size
        {TestImage::kConstantsSize - 4, 100, 4},  // larger: only up to the block's end
        {0, TestImage::kConstantsSize, TestImage::kConstantsSize},
    };
    // The constants block ends where an inaccessible page begins: copying past its end
    // would fault.
    for (const Row& row : rows) {
        auto* copy = static_cast<std::uint8_t*>(RtRealloc(constants + row.offset, row.newSize));
        ASSERT_NE(copy, nullptr);
        EXPECT_FALSE(app_->IsConstant(copy));
        std::uint32_t same = 0;
        while (same < row.copied && copy[same] == 'c') ++same;
        EXPECT_EQ(same, row.copied) << "offset " << row.offset;
        EXPECT_EQ(constants[row.offset], 'c');
        RtFree(copy);
    }
}

TEST_F(Memory, ResizingNullAllocatesAndResizingHeapKeepsTheBytes) {
    auto* block = static_cast<char*>(RtRealloc(nullptr, 4));
    ASSERT_NE(block, nullptr);
    std::memcpy(block, "abc", 4);
    block = static_cast<char*>(RtRealloc(block, 4096));
    EXPECT_STREQ(block, "abc");
    RtFree(block);
}

TEST_F(Memory, LibraryAllocationWithoutTheCheckReportsFailureAsNull) {
    // 0xFFFFFFF0 bytes can never be had in a process below 2 GiB.
    EXPECT_EQ(RuntimeService(library_service::kAlloc, 0xFFFFFFF0u, 1), 0);
    const Word block = static_cast<Word>(RuntimeService(library_service::kAlloc, 16, 1));
    EXPECT_NE(block, 0u);
    const Word grown = static_cast<Word>(RuntimeService(library_service::kRealloc, block, 64));
    EXPECT_NE(grown, 0u);
    RuntimeService(library_service::kFree, grown, 0);
}

}  // namespace
}  // namespace kx
