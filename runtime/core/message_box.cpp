#include "message_box.h"

#include <atomic>

#include "text936.h"

namespace kx {

namespace {
std::atomic<MessageBoxSeam*> g_seam{nullptr};
}

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style) {
    MessageBoxRequest request{owner, text ? text : "", caption ? caption : "", style};
    if (MessageBoxSeam* seam = g_seam.load()) return seam->Show(request);
    return MessageBoxW(owner, WidenCp936(request.text).c_str(),
                       WidenCp936(request.caption).c_str(), style);
}

MessageBoxSeam* SetMessageBoxSeam(MessageBoxSeam* seam) { return g_seam.exchange(seam); }

}  // namespace kx
