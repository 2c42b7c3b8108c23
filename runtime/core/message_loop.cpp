// The message loop behind RtRunUntilWindowsClosed, with its idle phase.
#include <algorithm>

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
    // Last to first over the list as the pass began; a callback may add or remove entries,
    // and an entry removed before its turn does not run.
    const std::vector<IdleCallback> pass = idleCallbacks_;
    for (auto entry = pass.rbegin(); entry != pass.rend(); ++entry) {
        const auto live = std::find(idleCallbacks_.begin(), idleCallbacks_.end(), *entry);
        if (live == idleCallbacks_.end()) continue;
        if (IsWindow(entry->window)) {
            FromWord<IdleRoutine>(entry->routine)(entry->argument);
        } else {
            idleCallbacks_.erase(live);
        }
    }
}

}  // namespace kx
