// The runtime heap and the constants rule.
#include <windows.h>

#include <cstring>

#include "entries.h"
#include "kx/image_format.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

using testing::RuntimeTest;
using testing::TestImage;

class Memory : public RuntimeTest {};

TEST(MemoryConstants, FreeingNullOrAConstantDoesNothing) {
    // A constants block that is itself a heap block shows whether anything freed it.
    const HANDLE heap = GetProcessHeap();
    auto* block = static_cast<std::uint8_t*>(HeapAlloc(heap, 0, 64));
    TestImage image;
    image.UseConstantsBlock(block, 64);
    {
        RuntimeApp app(&image.header(), testing::EmptyProgramEntry);
        app.InitRuntime();
        RtFree(nullptr);
        RtFree(block);
        RtFree(block + 5);
        EXPECT_TRUE(HeapValidate(heap, 0, block));
    }
    HeapFree(heap, 0, block);
}

TEST_F(Memory, ResizingAConstantCopiesNeverPastTheEndOfTheBlock) {
    std::uint8_t* const constants = image_.constants();
    std::memset(constants, 'c', TestImage::kConstantsSize);
    const std::uint32_t tailOffset = TestImage::kConstantsSize - 4;

    struct Row { std::uint32_t offset, newSize, copied; };
    const Row rows[] = {
        {0, 10, 10},                  // smaller: exactly the new size
        {tailOffset, 100, 4},         // larger: only up to the block's end
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

TEST(MemoryConstants, AfterShutdownAConstantIsStillNeverFreed) {
    // A worker may still free or resize its texts while the process ends.
    const HANDLE heap = GetProcessHeap();
    auto* block = static_cast<std::uint8_t*>(HeapAlloc(heap, 0, 64));
    std::memset(block, 'c', 64);
    TestImage image;
    image.UseConstantsBlock(block, 64);
    {
        RuntimeApp app(&image.header(), testing::EmptyProgramEntry);
        app.InitRuntime();
        app.End(0);
        RtFree(block + 5);
        auto* copy = static_cast<std::uint8_t*>(RtRealloc(block + 60, 16));
        ASSERT_NE(copy, nullptr);
        EXPECT_NE(copy, block + 60);
        EXPECT_EQ(std::memcmp(copy, "cccc", 4), 0);
        RtFree(copy);
        EXPECT_EQ(ReadableBytes(block + 10), 54u);
        EXPECT_TRUE(HeapValidate(heap, 0, block));
    }
    HeapFree(heap, 0, block);
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

TEST_F(Memory, EveryBlockFitsAWord) {
    for (std::uint32_t size : {1u, 1000u, 1u << 20, 64u << 20}) {
        void* block = RtAlloc(size);
        EXPECT_EQ(FromWord<void*>(ToWord(block)), block);
        RtFree(block);
    }
}

}  // namespace
}  // namespace kx
