// A window as the screen shows it, for tests that judge what was drawn.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace kx::testing {

struct ScreenPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, rows from the top

    std::uint32_t At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x] & 0xFFFFFF; }
};

// The screen's pixels under the window's rectangle (whatever covers it is captured too).
ScreenPixels CaptureWindow(HWND window);

// What a window of this process last drew, read back through its own device context: no
// window over it and no lag of the screen behind the drawing changes it.
ScreenPixels DrawnPixels(HWND window);

// The pixels as a 32-bit BMP file; whether it was written.
bool SaveBmp(const ScreenPixels& capture, const std::string& path);

}  // namespace kx::testing
