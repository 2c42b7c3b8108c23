#include "mouse_pointer.h"

#include <cstring>

namespace kx::forms {

namespace {

constexpr std::size_t kDirectorySize = 6;
constexpr std::size_t kEntrySize = 16;
constexpr std::uint16_t kIconFile = 1;
constexpr std::uint16_t kCursorFile = 2;

std::uint16_t Half(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

Word Whole(std::span<const std::uint8_t> bytes, std::size_t at) {
    Word value;
    std::memcpy(&value, bytes.data() + at, sizeof value);
    return value;
}

// The chosen image of a cursor or icon file, or nothing when the data is not one.
bool ReadPointerFile(std::span<const std::uint8_t> data, unsigned preferredSize, PointerImage& out) {
    if (data.size() < kDirectorySize || Half(data, 0) != 0) return false;
    const std::uint16_t type = Half(data, 2);
    const std::uint16_t count = Half(data, 4);
    if ((type != kIconFile && type != kCursorFile) || count == 0) return false;
    if (data.size() < kDirectorySize + std::uint64_t{count} * kEntrySize) return false;
    std::size_t chosen = kDirectorySize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t entry = kDirectorySize + i * kEntrySize;
        const unsigned width = data[entry] == 0 ? 256 : data[entry];  // 0 stands for 256
        if (width == preferredSize) {
            chosen = entry;
            break;
        }
    }
    const std::uint64_t size = Whole(data, chosen + 8);
    const std::uint64_t offset = Whole(data, chosen + 12);
    if (size == 0 || offset + size > data.size()) return false;
    const unsigned width = data[chosen] == 0 ? 256 : data[chosen];
    const unsigned height = data[chosen + 1] == 0 ? 256 : data[chosen + 1];
    if (type == kCursorFile) {
        out.hotspotX = Half(data, chosen + 4);
        out.hotspotY = Half(data, chosen + 6);
    } else {
        // An icon has no hot spot of its own: it points with its centre.
        out.hotspotX = static_cast<std::uint16_t>(width / 2);
        out.hotspotY = static_cast<std::uint16_t>(height / 2);
    }
    out.image = data.subspan(static_cast<std::size_t>(offset), static_cast<std::size_t>(size));
    return true;
}

}  // namespace

MousePointer ReadMousePointer(std::span<const std::uint8_t> data, unsigned preferredSize) {
    MousePointer pointer;
    if (data.size() == sizeof(Word)) {
        const Word number = Whole(data, 0);
        if (number >= 1 && number <= kSystemPointerCount) {
            pointer.kind = MousePointer::Kind::kSystem;
            pointer.systemId = kSystemPointerIds[number - 1];
        }
        return pointer;
    }
    if (ReadPointerFile(data, preferredSize, pointer.image)) pointer.kind = MousePointer::Kind::kImage;
    return pointer;
}

}  // namespace kx::forms
