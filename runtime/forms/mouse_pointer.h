// The mouse-pointer data of a unit (property 7): empty, or the number 0, for the default
// pointer; a four-byte number 1-14 for one of the system's pointers; otherwise the bytes of
// a cursor file (or an icon file, pointing at its centre). Pure logic; any thread.
#pragma once

#include <cstdint>
#include <span>

#include "kx/word.h"

namespace kx::forms {

// The system's pointers, numbered from 1 in the order of the system's own ids: arrow,
// I-beam, wait, cross, up arrow, the four sizing pairs, size all, no, hand, working in the
// background, help.
inline constexpr Word kSystemPointerCount = 14;
inline constexpr std::uint16_t kSystemPointerIds[kSystemPointerCount] = {
    32512, 32513, 32514, 32515, 32516, 32642, 32643, 32644, 32645, 32646, 32648, 32649, 32650, 32651,
};

// One image of a cursor or icon file, in the form the system's resource maker takes.
struct PointerImage {
    std::uint16_t hotspotX = 0;
    std::uint16_t hotspotY = 0;
    std::span<const std::uint8_t> image;  // the image's own bytes inside the data
};

struct MousePointer {
    enum class Kind { kDefault, kSystem, kImage };
    Kind kind = Kind::kDefault;
    std::uint16_t systemId = 0;  // kSystem
    PointerImage image;          // kImage
};

// What `data` names. Data that is none of the forms above (an unknown number, a file whose
// directory or image lies outside the data) is the default pointer. Of a file's images the
// one `preferredSize` pixels wide is taken, else the first.
MousePointer ReadMousePointer(std::span<const std::uint8_t> data, unsigned preferredSize);

}  // namespace kx::forms
