// The form collection before any form block format is understood.
#include "form_collection.h"

#include <gtest/gtest.h>

#include <memory>

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

TEST(FormCollection, RelocationReachesEveryUnitOfEveryForm) {
    FormCollection forms;
    for (Word id : {0x52010001u, 0x52010002u}) {
        auto form = std::make_unique<FormTemplate>();
        form->id = id;
        form->units = {{0x06010000, "", {0, kNoRoutineOffset}}, {0x16010002, "", {0x10}}};
        forms.Add(std::move(form));
    }
    forms.RelocateRoutines(0x401004);
    for (Word id : {0x52010001u, 0x52010002u}) {
        const FormTemplate* form = forms.Find(id);
        ASSERT_NE(form, nullptr);
        EXPECT_EQ(form->units[0].eventRoutines, (std::vector<Word>{0x401004, 0}));
        EXPECT_EQ(form->units[1].eventRoutines, (std::vector<Word>{0x401014}));
        EXPECT_EQ(form->UnitOrOwn(0), &form->units[0]);
        EXPECT_EQ(form->UnitOrOwn(0x16010002), &form->units[1]);
        EXPECT_EQ(form->UnitOrOwn(0x16010009), nullptr);
    }
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
