// The clock corrector's program image as the runtime reads it.
#include "kx/program_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kx/program_calls.h"
#include "kx/type_words.h"
#include "thread_library.h"

namespace kx {
namespace {

const char* TextAt(Word word) { return FromWord<const char*>(word); }

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

TEST(ProgramImage, DataTypeIdsFindTheirRecords) {
    const auto* libraries = FromWord<const Word*>(image::Header().libraries);
    const auto& core = *FromWord<const LibraryDescriptor*>(libraries[0]);
    const auto* records = FromWord<const DataTypeRecord*>(core.dataTypes);
    const std::pair<Word, const char*> rows[] = {
        {type_word::kWindowType, "window"},       {type_word::kLabelType, "Label"},
        {type_word::kButtonType, "Button"},       {type_word::kTimerType, "Timer"},
        {type_word::kComObjectType, "ComObject"}, {type_word::kVariantType, "Variant"},
    };
    for (const auto& [id, name] : rows) {
        EXPECT_STREQ(TextAt(records[type_word::RecordIndexOf(id)].englishName), name);
    }
}

}  // namespace
}  // namespace kx
