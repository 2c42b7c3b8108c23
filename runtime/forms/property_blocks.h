// The property blocks of the window, Label, Button and Timer data types: what each stores,
// read from and written to the archive encoding. A reader refuses a version above the
// highest it knows and a block that ends early. Pure logic; any thread.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "kx/word.h"

namespace kx::forms {

using ByteData = std::vector<std::uint8_t>;

struct WindowBlock {
    static constexpr Word kVersion = 6;
    Word borderStyle = 2;       // 9
    Word pictureMode = 1;       // 12
    Word background = 0xFF000000;  // 10
    Word maximizeBox = 0;       // 16
    Word minimizeBox = 1;       // 17
    Word controlBox = 1;        // 15
    Word startPosition = 1;     // 18
    Word closable = 1;          // 19
    Word soundMode = 0;         // 14
    Word word21 = 0, word22 = 1, word23 = 0, word25 = 0;
    Word taskbarButton = 1;     // 26
    Word word27 = 0;
    Word shape = 0;             // 28
    Word alwaysOnTop = 0;       // 29
    Word word30 = 0;
    std::string className;      // 31
    ByteData picture;           // 11
    ByteData icon;              // 20
    ByteData sound;             // 13
    std::string title;          // 8
    std::string text24;         // 24

    bool Read(std::span<const std::uint8_t> bytes);
    ByteData Write() const;
};

struct LabelBlock {
    static constexpr Word kVersion = 2;
    Word word9 = 0;             // 9: 0-3
    Word word11 = 8;            // 11: at least 5
    Word borderEffect = 0;      // 10: 0-6
    Word colourA = 0x808080, colourB = 0xFFFFFF, colourC = 0x808080;  // 12-14
    Word word16 = 0;            // 16
    Word background = 0xFF000000;  // 17
    Word word19 = 1;            // 19: 0-2
    Word word20 = 0;            // 20: 0-8
    Word colourD = 0x808080, colourE = 0xFFFFFF, colourF = 0x808080;  // 21-23
    Word word24 = 0;            // 24: 0-2
    Word word26 = 1;            // 26: 0-2
    Word flag25 = 0;            // 25
    ByteData font;              // 15
    ByteData picture;           // 18
    std::string text = "标签";  // 8
    std::string text27, text28;

    bool Read(std::span<const std::uint8_t> bytes);
    ByteData Write() const;
};

struct ButtonBlock {
    static constexpr Word kVersion = 1;
    Word buttonType = 0;        // 9: 0-1
    Word horizontal = 1;        // 11: 0-2
    Word vertical = 1;          // 12: 0-2
    ByteData picture;           // 8
    ByteData font;              // 13
    std::string caption = "按钮";  // 10

    bool Read(std::span<const std::uint8_t> bytes);
    ByteData Write() const;
};

// A Timer's interval is read as signed wherever it comes from (the block, a write): a
// negative one is no timer, as 0 is.
constexpr Word TimerInterval(Word value) { return static_cast<std::int32_t>(value) < 0 ? 0 : value; }

struct TimerBlock {
    static constexpr Word kVersion = 1;
    Word interval = 0;          // 8, milliseconds; 0: stopped; never negative once read

    bool Read(std::span<const std::uint8_t> bytes);
    ByteData Write() const;
};

// A font field is either empty or one 60-byte LOGFONTA.
inline constexpr std::size_t kLogFontSize = 60;

// Sets one attribute of a LOGFONTA, named by its place in the record: 0 height, 1 width,
// 2 escapement, 3 orientation, 4 weight, 5 italic, 6 underline, 7 strike-out, 8 character
// set, 9 output precision, 10 clip precision, 11 quality, 12 pitch and family, 13 face name
// (`faceName`, cut to 31 bytes on a character boundary). False, the font untouched, when
// `font` is no LOGFONTA or the element names no attribute.
bool SetFontAttribute(ByteData& font, std::int32_t element, Word value, const char* faceName);
inline constexpr std::int32_t kFaceNameElement = 13;

// Property type codes whose value word is an address: texts (1005, 1007, 1008, 1016,
// 1018-1022), byte data (1009-1012, 1023, 1024) and fonts (1013).
constexpr bool TypeCodeTakesAddress(Word typeCode) {
    return typeCode == 1005 || typeCode == 1007 || typeCode == 1008 || (typeCode >= 1009 && typeCode <= 1013) ||
           typeCode == 1016 || (typeCode >= 1018 && typeCode <= 1024);
}
inline constexpr Word kFontTypeCode = 1013;

// Clamps into [low, high], reading the stored word as signed.
constexpr Word Clamp(Word value, std::int32_t low, std::int32_t high) {
    const auto v = static_cast<std::int32_t>(value);
    return static_cast<Word>(v < low ? low : v > high ? high : v);
}

}  // namespace kx::forms
