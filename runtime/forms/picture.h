// Pictures of the units' picture and icon properties, decoded by the system's picture loader
// (bitmaps, icons, and the other formats it reads). The handle belongs to whoever holds the
// Picture. Any thread with OLE or COM initialised.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace kx::forms {

class Picture {
public:
    Picture() = default;
    // Nothing when `bytes` are empty or cannot be decoded.
    explicit Picture(const std::vector<std::uint8_t>& bytes);
    ~Picture() { Reset(); }
    Picture(Picture&& other) noexcept;
    Picture& operator=(Picture&& other) noexcept;
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    explicit operator bool() const { return handle_ != nullptr; }
    bool isIcon() const { return isIcon_; }
    // An HICON when isIcon(), else an HBITMAP.
    HANDLE handle() const { return handle_; }

private:
    void Reset();

    HANDLE handle_ = nullptr;
    bool isIcon_ = false;
};

}  // namespace kx::forms
