// How typed event arguments become the words an event routine receives.
#include "event_arguments.h"

#include <gtest/gtest.h>

#include "kx/type_words.h"

namespace kx {
namespace {

TEST(TypedEventArguments, EachKindTakesItsWords) {
    struct Row {
        TypedEventArgument argument;
        std::vector<Word> words;
    };
    const Row rows[] = {
        {{0x1234, 0x55, type_word::kByte, 0}, {0x34}},
        {{0x18000, 0x55, type_word::kShort, 0}, {0xFFFF8000}},
        {{0x7FFF, 0, type_word::kShort, 0}, {0x7FFF}},
        {{7, 9, type_word::kInteger, 0}, {7}},
        {{1, 2, type_word::kLong, 0}, {1, 2}},
        {{1, 2, type_word::kDouble, 0}, {1, 2}},
        {{1, 2, type_word::kDateTime, 0}, {1, 2}},
        {{1, 2, type_word::kEightBytes, 0}, {1, 2}},
        {{1, 2, type_word::kCoreEightByteType, 0}, {1, 2}},
        {{1, 2, type_word::kText, 0}, {1}},
        {{1, 2, type_word::kInteger, kTypedArgumentBothWords}, {1, 2}},
        // By reference wins over everything: the variable's address alone.
        {{1, 2, type_word::kDouble, kTypedArgumentByReference | kTypedArgumentBothWords}, {1}},
        {{0x1FF, 0, type_word::kByte, kTypedArgumentByReference}, {0x1FF}},
    };
    for (const Row& row : rows) {
        std::vector<Word> words;
        AppendArgumentWords(row.argument, words);
        EXPECT_EQ(words, row.words) << std::hex << row.argument.type << " flags " << row.argument.flags;
    }
}

TEST(TypedEventArguments, RecordsKeepArgumentOrderAndTheirRoom) {
    TypedEventRecord typed{};
    typed.argumentCount = 2;
    typed.arguments[0] = {0xAAAA, 0xBBBB, type_word::kDouble, 0};
    typed.arguments[1] = {3, 0, type_word::kInteger, 0};
    EXPECT_EQ(ArgumentWords(typed), (std::vector<Word>{0xAAAA, 0xBBBB, 3}));

    typed.argumentCount = 1000;  // more than the record has room for
    EXPECT_EQ(ArgumentWords(typed).size(), 2u + 1 + 10);

    EventRecord plain{};
    plain.argumentCount = 7;
    for (Word i = 0; i < 5; ++i) plain.arguments[i] = i + 1;
    EXPECT_EQ(ArgumentWords(plain), (std::vector<Word>{1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace kx
