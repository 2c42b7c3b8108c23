#include "hidden_owner.h"

#include <cstdint>

#include "entries.h"
#include "runtime_app.h"

namespace kx {

namespace {

LRESULT CALLBACK HiddenOwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kEndRequestMessage: {
            // A request that arrives while the main thread is already cleaning up (it let a
            // sent message through while it waited) must not start the clean-up again: the
            // requesting thread then returns and the main thread finishes as it was.
            const RuntimeApp* app = RuntimeApp::Current();
            if (app && app->cleanupStarted()) return 0;
            RtEndProgram(static_cast<std::int32_t>(wParam));  // does not return
        }
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

HWND CreateHiddenOwnerWindow() {
    const HINSTANCE module = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass{};
    if (!GetClassInfoA(module, kHiddenOwnerClass, &windowClass)) {
        windowClass = {};
        windowClass.lpfnWndProc = HiddenOwnerProc;
        windowClass.hInstance = module;
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(HOLLOW_BRUSH));
        windowClass.lpszClassName = kHiddenOwnerClass;
        if (!RegisterClassA(&windowClass)) return nullptr;
    }
    return CreateWindowExA(WS_EX_TOOLWINDOW, kHiddenOwnerClass, "", 0, 0, 0, 0, 0, nullptr,
                           nullptr, module, nullptr);
}

}  // namespace kx
