// The clock corrector's program image as the runtime reads it.
#include "kx/program_image.h"

#include <gtest/gtest.h>

#include <span>
#include <string>
#include <tuple>

#include "archive.h"
#include "form_collection.h"
#include "kx/program_calls.h"
#include "kx/program_routine.h"
#include "kx/program_routines.h"
#include "kx/type_words.h"
#include "thread_library.h"

namespace kx {
namespace {

TEST(ProgramImage, CodeBaseLiesBehindTheStubRoutines) {
    const Word codeBase = image::Header().codeBase;
    EXPECT_EQ(FromWord<int (*)()>(codeBase - 4)(), 0);
    FromWord<void (*)()>(codeBase - 2)();  // returns at once
    EXPECT_EQ(FromWord<const unsigned char*>(codeBase - 4)[2], 0xC3);  // the second routine is a lone return
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
    EXPECT_EQ(program::CommandAddress(image::kThreadLibrary, 0), ToWord(&threads::StartThread));
}

TEST(ProgramImage, TheStartFormHoldsItsElevenUnitsInStoredOrder) {
    const ProgramImageHeader& header = image::Header();
    EXPECT_EQ(header.formBlockSize, 2115u);  // with the 9-byte display name
    forms::FormCollection forms;
    ASSERT_TRUE(forms.Load(FromWord<const std::uint8_t*>(header.formBlock), header.formBlockSize));
    ASSERT_TRUE(forms.RelocateRoutines(header.codeBase));
    ASSERT_EQ(forms.forms().size(), 1u);
    const forms::FormTemplate& form = *forms.Find(image::kStartFormId);
    EXPECT_EQ(form.wordA, 0x0266DF18u);
    EXPECT_EQ(form.wordB, 0x19010005u);
    // Unit 1's length word lies at 0x58 + 0xE5 of the table: the window's record is 0xE1 bytes.
    EXPECT_EQ(forms::LoadWord(form.table().bytes().data() + 0x2C + 4), 0xE5u);
    struct StoredUnit {
        Word id, type;
        const char* name;
        std::int32_t left, top, width, height;
        Word flags;
        const char* text;
        std::int32_t routineIndex;  // -1: no binding
    };
    const StoredUnit units[] = {
        {0x06010000, type_word::kWindowType, "", 50, 50, 380, 258, 1, "Velmo 校时工具", 0},
        {0x16012ABE, type_word::kButtonType, "按钮6", 192, 184, 56, 32, 5, "同步", 2},
        {0x16010004, type_word::kTimerType, "时钟1", 320, 136, 40, 40, 0, "", 1},
        {0x16012ABA, type_word::kLabelType, "标签3", 16, 128, 352, 40, 1, "北京时间：XXXX-XX-XX 00:00:00", -1},
        {0x1601000B, type_word::kButtonType, "按钮5", 128, 184, 56, 32, 5, "至0", 3},
        {0x1601000A, type_word::kButtonType, "按钮4", 312, 184, 48, 32, 5, "+1m", 4},
        {0x16010009, type_word::kButtonType, "按钮3", 264, 184, 48, 32, 5, "-1m", 5},
        {0x16010008, type_word::kButtonType, "按钮2", 56, 184, 48, 32, 5, "+1s", 6},
        {0x16010007, type_word::kButtonType, "按钮1", 8, 184, 48, 32, 5, "-1s", 7},
        {0x16010003, type_word::kLabelType, "标签2", 16, 80, 352, 40, 1, "当前时间：XXXX-XX-XX 00:00:00", -1},
        {0x16010002, type_word::kLabelType, "标签1", 24, 16, 320, 56, 1, " 校时工具", -1},
    };
    ASSERT_EQ(form.table().count(), std::size(units));
    for (Word i = 0; i < std::size(units); ++i) {
        SCOPED_TRACE(i);
        const StoredUnit& want = units[i];
        EXPECT_EQ(form.table().IdAt(i), want.id);
        const auto record = form.Walk(i);
        ASSERT_TRUE(record);
        EXPECT_EQ(std::tie(record->typeId, record->name, record->flags, record->eventOwnerId),
                  std::make_tuple(want.type, std::string(want.name), want.flags, Word{0}));
        EXPECT_EQ(std::tie(record->left, record->top, record->width, record->height),
                  std::tie(want.left, want.top, want.width, want.height));
        EXPECT_EQ(record->mousePointer.size(), 4u);
        const std::string block(record->propertyBlock.begin(), record->propertyBlock.end());
        EXPECT_NE(block.find(want.text), std::string::npos);
        ASSERT_EQ(record->bindings.size(), want.routineIndex < 0 ? 0u : 1u);
        if (want.routineIndex < 0) continue;
        EXPECT_EQ(record->bindings[0].eventIndex, 0);
        // Relocated, it is the thunk that runs the routine bound to its place.
        const Word routine = form.RoutineFor(i, 0);
        EXPECT_EQ(routine, header.codeBase + 8u * static_cast<Word>(want.routineIndex));
        const auto place = static_cast<image::ProgramRoutine>(want.routineIndex);
        image::BindProgramRoutine(place, [](const Word* arguments, Word count, RoutineResult* out) {
            out->hasValue = 1;
            out->low = count == 1 ? arguments[0] : 0;
        });
        RoutineResult result;
        const Word argument = 7;
        FromWord<ProgramRoutineFn>(routine)(&argument, 1, &result);
        image::BindProgramRoutine(place, nullptr);
        EXPECT_EQ(std::tie(result.hasValue, result.low), std::make_tuple(1u, 7u));
    }
    // 标签1's font: 48 pixels of 微软雅黑, weight 400, GB2312; the other labels have none.
    const std::span<const std::uint8_t> heading = form.Walk(10)->propertyBlock;
    const std::size_t fontAt = 17 * sizeof(Word);
    EXPECT_EQ(forms::LoadWord(heading.data() + fontAt), 60u);
    EXPECT_EQ(static_cast<std::int32_t>(forms::LoadWord(heading.data() + fontAt + 4)), -48);
    EXPECT_EQ(forms::LoadWord(heading.data() + fontAt + 4 + 16), 400u);
    EXPECT_EQ(heading[fontAt + 4 + 23], 134);
    EXPECT_EQ(std::string(heading.begin() + fontAt + 4 + 28, heading.begin() + fontAt + 4 + 37), std::string("微软雅黑") + '\0');
    EXPECT_EQ(forms::LoadWord(form.Walk(9)->propertyBlock.data() + fontAt), 0u);
}

}  // namespace
}  // namespace kx
