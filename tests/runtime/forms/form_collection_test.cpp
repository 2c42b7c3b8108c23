// The form collection before any form block format is understood.
#include "form_collection.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

TEST(FormCollection, RelocationOfStoredRoutineWords) {
    struct Row { Word offset, expected; };
    const Row rows[] = {
        {0, 0x401004},
        {0x18, 0x40101C},
        {kNoRoutineOffset, 0},  // no routine, never codeBase - 1
    };
    for (const Row& row : rows) EXPECT_EQ(RelocateRoutineOffset(0x401004, row.offset), row.expected);
}

TEST(FormCollection, AnEmptyBlockLoadsNoFormsAndAnyOtherIsRefused) {
    FormCollection forms;
    const std::uint8_t block[16] = {1, 2, 3};
    EXPECT_TRUE(forms.Load(block, 0));
    EXPECT_TRUE(forms.empty());
    EXPECT_FALSE(forms.Load(block, sizeof block));
    EXPECT_TRUE(forms.empty());
    EXPECT_EQ(forms.Find(0x52010001), nullptr);
    EXPECT_FALSE(forms.AnyWindowAlive());
}

}  // namespace
}  // namespace kx
