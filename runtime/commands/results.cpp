#include "results.h"

#include <cstring>

#include "errors.h"
#include "memory.h"

namespace kx::commands {

namespace {

void* AllocResult(std::uint64_t size) {
    // A block the heap cannot even be asked for is reported at the largest size it takes.
    if (size > 0xFFFFFFFFu) ReportOutOfMemory(0xFFFFFFFFu);
    return RtAlloc(static_cast<std::uint32_t>(size));
}

}  // namespace

char* NewTextBuffer(std::uint64_t length) {
    if (length == 0) return nullptr;
    auto* text = static_cast<char*>(AllocResult(length + 1));
    text[length] = '\0';
    return text;
}

ByteArrayHeader* NewByteArray(std::uint64_t length) {
    if (length == 0) return nullptr;
    auto* block = static_cast<ByteArrayHeader*>(AllocResult(length + sizeof(ByteArrayHeader)));
    block->dimensionCount = 1;
    block->length = static_cast<Word>(length);
    return block;
}

std::uint8_t* BytesOf(ByteArrayHeader* block) { return reinterpret_cast<std::uint8_t*>(block + 1); }

Word* NewWordArray(std::uint32_t count) {
    auto* block = static_cast<Word*>(AllocResult((std::uint64_t{count} + 2) * sizeof(Word)));
    block[0] = 1;
    block[1] = count;
    return block;
}

char* NewText(std::string_view text) {
    char* copy = NewTextBuffer(text.size());
    if (copy) std::memcpy(copy, text.data(), text.size());
    return copy;
}

ByteArrayHeader* NewByteArrayCopy(const void* data, std::uint64_t length) {
    ByteArrayHeader* block = NewByteArray(length);
    if (block) std::memcpy(BytesOf(block), data, static_cast<std::size_t>(length));
    return block;
}

}  // namespace kx::commands
