#include "program_values.h"

#include <cstring>

#include "kx/program_calls.h"

namespace http_module {

using kx::FromWord;
using kx::ToWord;
namespace program = kx::program;

std::string_view TextOf(Word text) {
    const char* bytes = FromWord<const char*>(text);
    return bytes ? std::string_view(bytes) : std::string_view();
}

Word NewText(std::string_view text) {
    if (text.empty()) return 0;
    auto* block = static_cast<char*>(program::Alloc(static_cast<std::uint32_t>(text.size() + 1)));
    std::memcpy(block, text.data(), text.size());
    block[text.size()] = '\0';
    return ToWord(block);
}

void SetText(Word* variable, std::string_view text) {
    const Word replacement = NewText(text);
    FreeValue(variable);
    *variable = replacement;
}

void FreeValue(Word* variable) {
    if (*variable) program::Free(FromWord<void*>(*variable));
    *variable = 0;
}

std::span<const std::uint8_t> BytesOf(Word byteArray) {
    const auto* header = FromWord<const kx::ByteArrayHeader*>(byteArray);
    if (!header) return {};
    return {reinterpret_cast<const std::uint8_t*>(header + 1), header->length};
}

Word NewBytes(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return 0;
    const auto size = static_cast<std::uint32_t>(sizeof(kx::ByteArrayHeader) + bytes.size());
    auto* header = static_cast<kx::ByteArrayHeader*>(program::Alloc(size));
    header->dimensionCount = 1;
    header->length = static_cast<Word>(bytes.size());
    std::memcpy(header + 1, bytes.data(), bytes.size());
    return ToWord(header);
}

std::vector<std::string> TextsOf(Word textArray) {
    const auto* words = FromWord<const Word*>(textArray);
    std::vector<std::string> texts;
    if (!words) return texts;
    texts.reserve(words[1]);
    for (Word i = 0; i < words[1]; ++i) texts.emplace_back(TextOf(words[2 + i]));
    return texts;
}

Word NewTextArray(const std::vector<std::string>& texts) {
    const auto count = static_cast<Word>(texts.size());
    auto* words = static_cast<Word*>(program::Alloc(4 * (2 + count)));
    words[0] = 1;
    words[1] = count;
    for (Word i = 0; i < count; ++i) words[2 + i] = NewText(texts[i]);
    return ToWord(words);
}

void FreeTextArray(Word* variable) {
    auto* words = FromWord<Word*>(*variable);
    if (words) {
        for (Word i = 0; i < words[1]; ++i) FreeValue(&words[2 + i]);
        program::Free(words);
    }
    *variable = 0;
}

}  // namespace http_module
