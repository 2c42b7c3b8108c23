// The message loop behind RtRunUntilWindowsClosed, with its idle phase.
#include "runtime_app.h"

namespace kx {

void RuntimeApp::RunUntilWindowsClosed() {
    waiting_ = true;
    if (!forms_.AnyWindowAlive()) return;
    RunMessageLoop();
}

void RuntimeApp::RunMessageLoop() {
    bool idleArmed = true;
    long idleCount = 0;
    MSG peeked;
    for (;;) {
        while (idleArmed && !PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE)) {
            RunIdleCallbacks();
            if (!OnIdle(idleCount++)) idleArmed = false;
        }
        do {
            if (!PumpMessage()) return;
            if (IsIdleMessage(lastMessage())) {
                idleArmed = true;
                idleCount = 0;
            }
        } while (PeekMessageA(&peeked, nullptr, 0, 0, PM_NOREMOVE));
    }
}

void RuntimeApp::RunIdleCallbacks() {
    // Last to first, so that a callback may remove itself or the ones before it.
    for (std::size_t i = idleCallbacks_.size(); i-- > 0;) {
        if (i >= idleCallbacks_.size()) continue;
        const IdleCallback entry = idleCallbacks_[i];
        if (IsWindow(entry.window)) {
            FromWord<IdleRoutine>(entry.routine)(entry.argument);
        } else {
            idleCallbacks_.erase(idleCallbacks_.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

}  // namespace kx
