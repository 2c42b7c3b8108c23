#include "property_blocks.h"

#include <cstring>

#include "archive.h"

namespace kx::forms {

namespace {

// Reads a version word and refuses one above `highest`.
bool ReadVersion(ArchiveReader& in, Word highest, Word& version) {
    return in.ReadWord(version) && version <= highest;
}

bool ReadWords(ArchiveReader& in, std::initializer_list<Word*> words) {
    for (Word* word : words) {
        if (!in.ReadWord(*word)) return false;
    }
    return true;
}

void WriteWords(ArchiveWriter& out, std::initializer_list<Word> words) {
    for (Word word : words) out.Word32(word);
}

}  // namespace

bool WindowBlock::Read(std::span<const std::uint8_t> bytes) {
    ArchiveReader in(bytes);
    WindowBlock b;
    Word version;
    if (!ReadVersion(in, kVersion, version) ||
        !ReadWords(in, {&b.borderStyle, &b.pictureMode, &b.background, &b.maximizeBox, &b.minimizeBox,
                        &b.controlBox, &b.startPosition, &b.closable, &b.soundMode, &b.word21, &b.word22,
                        &b.word23, &b.word25})) {
        return false;
    }
    if (version >= 2 && !in.ReadWord(b.taskbarButton)) return false;
    if (version >= 3 && !ReadWords(in, {&b.word27, &b.shape})) return false;
    if (version >= 4 && !in.ReadWord(b.alwaysOnTop)) return false;
    if (version >= 5 && !in.ReadWord(b.word30)) return false;
    if (version >= 6 && !in.ReadCountedText(b.className)) return false;
    if (!in.ReadBuffer(b.picture) || !in.ReadBuffer(b.icon) || !in.ReadBuffer(b.sound) ||
        !in.ReadCountedText(b.title) || !in.ReadCountedText(b.text24)) {
        return false;
    }
    *this = std::move(b);
    return true;
}

ByteData WindowBlock::Write() const {
    ArchiveWriter out;
    WriteWords(out, {kVersion, borderStyle, pictureMode, background, maximizeBox, minimizeBox, controlBox,
                     startPosition, closable, soundMode, word21, word22, word23, word25, taskbarButton, word27,
                     shape, alwaysOnTop, word30});
    out.CountedText(className);
    out.Buffer(picture), out.Buffer(icon), out.Buffer(sound);
    out.CountedText(title), out.CountedText(text24);
    return out.Take();
}

bool LabelBlock::Read(std::span<const std::uint8_t> bytes) {
    ArchiveReader in(bytes);
    LabelBlock b;
    Word version;
    if (!ReadVersion(in, kVersion, version) ||
        !ReadWords(in, {&b.word9, &b.word11, &b.borderEffect, &b.colourA, &b.colourB, &b.colourC, &b.word16,
                        &b.background, &b.word19, &b.word20, &b.colourD, &b.colourE, &b.colourF, &b.word24,
                        &b.word26, &b.flag25}) ||
        !in.ReadBuffer(b.font) || !in.ReadBuffer(b.picture) || !in.ReadCountedText(b.text)) {
        return false;
    }
    b.text27.clear();
    b.text28.clear();
    if (version >= 2 && (!in.ReadCountedText(b.text27) || !in.ReadCountedText(b.text28))) return false;
    *this = std::move(b);
    return true;
}

ByteData LabelBlock::Write() const {
    ArchiveWriter out;
    WriteWords(out, {kVersion, word9, word11, borderEffect, colourA, colourB, colourC, word16, background, word19,
                     word20, colourD, colourE, colourF, word24, word26, flag25});
    out.Buffer(font), out.Buffer(picture);
    out.CountedText(text), out.CountedText(text27), out.CountedText(text28);
    return out.Take();
}

bool ButtonBlock::Read(std::span<const std::uint8_t> bytes) {
    ArchiveReader in(bytes);
    ButtonBlock b;
    Word version;
    if (!ReadVersion(in, kVersion, version) || !ReadWords(in, {&b.buttonType, &b.horizontal, &b.vertical}) ||
        !in.ReadBuffer(b.picture) || !in.ReadBuffer(b.font) || !in.ReadCountedText(b.caption)) {
        return false;
    }
    *this = std::move(b);
    return true;
}

ByteData ButtonBlock::Write() const {
    ArchiveWriter out;
    WriteWords(out, {kVersion, buttonType, horizontal, vertical});
    out.Buffer(picture), out.Buffer(font);
    out.CountedText(caption);
    return out.Take();
}

bool TimerBlock::Read(std::span<const std::uint8_t> bytes) {
    ArchiveReader in(bytes);
    Word version, value;
    if (!ReadVersion(in, kVersion, version) || !in.ReadWord(value)) return false;
    interval = TimerInterval(value);
    return true;
}

ByteData TimerBlock::Write() const {
    ArchiveWriter out;
    WriteWords(out, {kVersion, interval});
    return out.Take();
}

bool SetFontAttribute(ByteData& font, std::int32_t element, Word value, const char* faceName) {
    constexpr std::size_t kWordAttributes = 5, kByteAttributes = 8, kFaceName = kFaceNameElement;
    static_assert(kFaceName == kWordAttributes + kByteAttributes);
    constexpr std::size_t kBytesAt = 4 * kWordAttributes, kFaceAt = kBytesAt + kByteAttributes;
    constexpr std::size_t kFaceSize = kLogFontSize - kFaceAt;
    if (font.size() != kLogFontSize || element < 0 || static_cast<std::size_t>(element) > kFaceName) return false;
    const auto at = static_cast<std::size_t>(element);
    if (at < kWordAttributes) {
        StoreWord(font.data() + 4 * at, value);
    } else if (at < kFaceName) {
        font[kBytesAt + (at - kWordAttributes)] = static_cast<std::uint8_t>(value);
    } else {
        // A two-byte character is kept whole or left out.
        const std::size_t length = faceName ? std::strlen(faceName) : 0;
        std::size_t kept = 0;
        while (kept < length) {
            const std::size_t step = static_cast<std::uint8_t>(faceName[kept]) >= 0x80 && kept + 1 < length ? 2 : 1;
            if (kept + step > kFaceSize - 1) break;
            kept += step;
        }
        std::memset(font.data() + kFaceAt, 0, kFaceSize);
        if (kept) std::memcpy(font.data() + kFaceAt, faceName, kept);
    }
    return true;
}

}  // namespace kx::forms
