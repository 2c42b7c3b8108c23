// Small picture files for tests, written byte by byte: a 32 x 32 two-colour icon or cursor
// file (a ring, so that it is no blank image) and a 4 x 4 bitmap file.
#pragma once

#include <cstdint>
#include <vector>

namespace kx::testing {

inline void PutLittleEndian(std::vector<std::uint8_t>& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

// An icon file (type 1) or a cursor file (type 2, with its hot spot) of one image.
inline std::vector<std::uint8_t> IconFileBytes(std::uint16_t type, std::uint16_t hotspotX = 0,
                                               std::uint16_t hotspotY = 0) {
    constexpr int kSide = 32;
    constexpr std::uint32_t kImageSize = 40 + 8 + 2 * kSide * kSide / 8;
    std::vector<std::uint8_t> out;
    PutLittleEndian(out, 0, 2), PutLittleEndian(out, type, 2), PutLittleEndian(out, 1, 2);
    out.push_back(kSide), out.push_back(kSide), out.push_back(2), out.push_back(0);
    PutLittleEndian(out, type == 2 ? hotspotX : 1, 2), PutLittleEndian(out, type == 2 ? hotspotY : 1, 2);
    PutLittleEndian(out, kImageSize, 4), PutLittleEndian(out, 6 + 16, 4);
    // BITMAPINFOHEADER: the height counts the colour and the mask rows.
    for (std::uint32_t word : {40u, 32u, 64u}) PutLittleEndian(out, word, 4);
    PutLittleEndian(out, 1, 2), PutLittleEndian(out, 1, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(out, 0, 4);
    PutLittleEndian(out, 0x000000, 4), PutLittleEndian(out, 0xFFFFFF, 4);
    for (int y = 0; y < kSide; ++y) {  // colour rows: white where the ring is
        std::uint32_t bits = 0;
        for (int x = 0; x < kSide; ++x) {
            const int dx = 2 * x - kSide + 1, dy = 2 * y - kSide + 1, r2 = dx * dx + dy * dy;
            if (r2 >= 20 * 20 && r2 <= 28 * 28) bits |= 0x80000000u >> x;
        }
        for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(bits >> (8 * i)));
    }
    for (int i = 0; i < kSide * kSide / 8; ++i) out.push_back(0);  // mask: all opaque
    return out;
}

// A bitmap file of 4 x 4 pixels, 24 bits each.
inline std::vector<std::uint8_t> BitmapFileBytes() {
    constexpr std::uint32_t kPixels = 4 * 4 * 3;
    std::vector<std::uint8_t> out{'B', 'M'};
    PutLittleEndian(out, 14 + 40 + kPixels, 4), PutLittleEndian(out, 0, 4), PutLittleEndian(out, 14 + 40, 4);
    for (std::uint32_t word : {40u, 4u, 4u}) PutLittleEndian(out, word, 4);
    PutLittleEndian(out, 1, 2), PutLittleEndian(out, 24, 2);
    for (int i = 0; i < 6; ++i) PutLittleEndian(out, 0, 4);
    for (std::uint32_t i = 0; i < kPixels; ++i) out.push_back(static_cast<std::uint8_t>(i * 5));
    return out;
}

}  // namespace kx::testing
