// The message loop behind RtRunUntilWindowsClosed, with its idle phase.
#include "runtime_app.h"

namespace kx {

void RuntimeApp::RunUntilWindowsClosed() {
    waiting_ = true;
    if (!forms_.AnyWindowAlive()) return;
    RunMessageLoop();
}

bool RuntimeApp::IdlePass(long idleCount) {
    RunIdleCallbacks();
    return OnIdle(idleCount);
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
