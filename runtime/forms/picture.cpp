#include "picture.h"

#include <olectl.h>

#include <cstring>
#include <utility>

namespace kx::forms {

namespace {

// The system's loader reads the bytes from a stream; its picture object owns the handle, so
// a copy is taken and the object let go.
HANDLE Decode(const std::vector<std::uint8_t>& bytes, bool& isIcon) {
    if (bytes.empty()) return nullptr;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return nullptr;
    if (void* data = GlobalLock(memory)) {
        std::memcpy(data, bytes.data(), bytes.size());
        GlobalUnlock(memory);
    }
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(memory, TRUE, &stream))) {
        GlobalFree(memory);
        return nullptr;
    }
    IPicture* picture = nullptr;
    HANDLE copy = nullptr;
    if (SUCCEEDED(OleLoadPicture(stream, static_cast<LONG>(bytes.size()), FALSE, IID_IPicture,
                                 reinterpret_cast<void**>(&picture)))) {
        SHORT type = PICTYPE_NONE;
        OLE_HANDLE handle = 0;
        if (SUCCEEDED(picture->get_Type(&type)) && SUCCEEDED(picture->get_Handle(&handle)) && handle) {
            isIcon = type == PICTYPE_ICON;
            if (type == PICTYPE_ICON || type == PICTYPE_BITMAP) {
                copy = CopyImage(ULongToHandle(handle), isIcon ? IMAGE_ICON : IMAGE_BITMAP, 0, 0, 0);
            }
        }
        picture->Release();
    }
    stream->Release();
    return copy;
}

}  // namespace

Picture::Picture(const std::vector<std::uint8_t>& bytes) { handle_ = Decode(bytes, isIcon_); }

Picture::Picture(Picture&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), isIcon_(other.isIcon_) {}

Picture& Picture::operator=(Picture&& other) noexcept {
    if (this != &other) {
        Reset();
        handle_ = std::exchange(other.handle_, nullptr);
        isIcon_ = other.isIcon_;
    }
    return *this;
}

void Picture::Reset() {
    if (!handle_) return;
    if (isIcon_) DestroyIcon(static_cast<HICON>(handle_));
    else DeleteObject(handle_);
    handle_ = nullptr;
}

}  // namespace kx::forms
