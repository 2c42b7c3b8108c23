#include "framework.h"

namespace kx {

namespace {
constexpr UINT kSystemTimerMessage = 0x0118;  // the caret blink timer
}

int AppFramework::Main() {
    if (InitInstance() != 0) RunMessageLoop();
    return ExitInstance();
}

bool AppFramework::PumpMessage(MSG& message) {
    if (!GetMessageA(&message, nullptr, 0, 0)) {
        quitExitCode_.store(static_cast<int>(message.wParam));
        return false;
    }
    TranslateMessage(&message);
    DispatchMessageA(&message);
    return true;
}

bool AppFramework::IsIdleMessage(const MSG& message) {
    if (message.message == WM_MOUSEMOVE || message.message == WM_NCMOUSEMOVE) {
        const bool unmoved = message.message == lastMouseMessage_ &&
                             message.pt.x == lastMousePosition_.x &&
                             message.pt.y == lastMousePosition_.y;
        lastMousePosition_ = message.pt;
        lastMouseMessage_ = message.message;
        return !unmoved;
    }
    return message.message != WM_PAINT && message.message != kSystemTimerMessage;
}

void AppFramework::RunMessageLoop() {
    bool idleArmed = true;
    long idleCount = 0;
    MSG peeked;
    MSG message;
    for (;;) {
        while (idleArmed && !PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idleArmed = false;
        }
        do {
            if (!PumpMessage(message)) return;
            if (IsIdleMessage(message)) {
                idleArmed = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    }
}

}  // namespace kx
