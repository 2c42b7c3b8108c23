#include "screen_capture.h"

#include <fstream>

namespace kx::testing {

namespace {

// The header of a top-down 32-bit picture.
BITMAPINFOHEADER TopDown(int width, int height) {
    BITMAPINFOHEADER header{};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    return header;
}

// The pixels of `width` by `height` at (x, y) of the source device context.
ScreenPixels Capture(HDC source, int x, int y, int width, int height) {
    ScreenPixels capture;
    if (width <= 0 || height <= 0) return capture;
    capture.width = width;
    capture.height = height;
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, x, y, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFO info{};
    info.bmiHeader = TopDown(width, height);
    capture.pixels.resize(static_cast<std::size_t>(width) * height);
    GetDIBits(memory, bitmap, 0, height, capture.pixels.data(), &info, DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return capture;
}

}  // namespace

ScreenPixels CaptureWindow(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC screen = GetDC(nullptr);
    ScreenPixels capture = Capture(screen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(nullptr, screen);
    return capture;
}

ScreenPixels DrawnPixels(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    HDC own = GetWindowDC(window);
    ScreenPixels capture = Capture(own, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
    ReleaseDC(window, own);
    return capture;
}

bool SaveBmp(const ScreenPixels& capture, const std::string& path) {
    const BITMAPINFOHEADER info = TopDown(capture.width, capture.height);
    const auto bytes = static_cast<DWORD>(capture.pixels.size() * sizeof(std::uint32_t));
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + bytes;
    // The screen leaves the fourth byte 0, which viewers take for fully transparent.
    std::vector<std::uint32_t> opaque(capture.pixels);
    for (std::uint32_t& pixel : opaque) pixel |= 0xFF000000u;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(opaque.data()), bytes);
    return static_cast<bool>(out);
}

}  // namespace kx::testing
