// Calling core commands as program code does: through the CommandFn with real value
// cells, taking ownership of what they return (freed with RtFree).
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

#include "fake_clock.h"
#include "kx/value_cell.h"
#include "memory.h"
#include "message_box.h"

namespace kx::testing {

using Cells = std::initializer_list<ValueCell>;
// Rows keep the text's address, so it must outlive them: pass literals.
inline ValueCell T(const char* text) { return ValueCell::Text(text); }
inline ValueCell I(std::int32_t v) { return ValueCell::Integer(v); }

inline ValueCell Call(CommandFn command, Cells arguments) {
    std::vector<ValueCell> cells(arguments);
    cells.push_back(ValueCell::Raw(0x10, 0, type_word::kText));  // faults if read past the count
    ValueCell result;
    command(&result, static_cast<std::int32_t>(arguments.size()), cells.data());
    return result;
}

// A text result's bytes, freed; the empty text must be the null address.
inline std::string TakeText(const ValueCell& result) {
    EXPECT_EQ(result.type(), type_word::kText);
    auto* text = result.AsAddress<char*>();
    if (!text) return {};
    std::string bytes(text);
    EXPECT_FALSE(bytes.empty()) << "an empty text must be the null address";
    RtFree(text);
    return bytes;
}
inline std::string TextOf(CommandFn command, Cells arguments) { return TakeText(Call(command, arguments)); }

// A byte array result's bytes, freed; checks the header and the null empty value.
inline std::string TakeBytes(const ValueCell& result) {
    EXPECT_EQ(result.type(), type_word::kByteArray);
    auto* block = result.AsAddress<ByteArrayHeader*>();
    if (!block) return {};
    EXPECT_EQ(block->dimensionCount, 1u);
    EXPECT_NE(block->length, 0u) << "an empty byte array must be the null address";
    std::string bytes(reinterpret_cast<const char*>(block + 1), block->length);
    RtFree(block);
    return bytes;
}

// A result as one comparable text, its blocks freed: texts and byte arrays as their bytes,
// an array of texts as "[piece]" each, integers as "#" and bytes as "b" and their number.
inline std::string Shown(const ValueCell& result) {
    switch (result.type()) {
        case type_word::kText: return TakeText(result);
        case type_word::kByteArray: return TakeBytes(result);
        case type_word::kInteger: return "#" + std::to_string(result.AsInt32());
        case type_word::kByte: return "b" + std::to_string(result.low());
        case type_word::kText | type_word::kAddressBit: {
            auto* block = result.AsAddress<Word*>();
            if (!block) return "<no block>";
            EXPECT_EQ(block[0], 1u);
            std::string pieces;
            for (Word i = 0; i < block[1]; ++i) {
                pieces += "[" + TakeText(ValueCell::Text(FromWord<char*>(block[2 + i]))) + "]";
            }
            RtFree(block);
            return pieces;
        }
        default: return "type " + std::to_string(result.type());
    }
}

struct CommandRow {
    CommandFn command;
    Cells arguments;
    std::string shown;
};
inline void ExpectRows(std::span<const CommandRow> rows) {
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(Shown(Call(rows[i].command, rows[i].arguments)), rows[i].shown) << "row " << i;
    }
}

// A byte array block as program code holds it.
inline std::vector<Word> ByteBlock(const std::string& bytes) {
    std::vector<Word> words(2 + (bytes.size() + 3) / 4);
    words[0] = 1;
    words[1] = static_cast<Word>(bytes.size());
    std::memcpy(&words[2], bytes.data(), bytes.size());
    return words;
}

// For death tests: every message box's caption and text go to stderr, where the test's
// pattern finds them, and the box answers OK at once.
inline void ShowBoxesOnStderr() {
    static struct StderrMessageBoxes final : MessageBoxSeam {
        int Show(const MessageBoxRequest& request) override {
            std::fprintf(stderr, "[%s] %s\n", request.caption.c_str(), request.text.c_str());
            return IDOK;
        }
    } boxes;
    SetMessageBoxSeam(&boxes);
}

}  // namespace kx::testing
