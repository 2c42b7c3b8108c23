// Idle callbacks: routines of program code that run in the message loop's idle passes.
#include <algorithm>

#include "runtime_app.h"

namespace kx {

void RuntimeApp::AddIdleCallback(HWND window, Word routine, Word argument) {
    idleCallbacks_.push_back({window, routine, argument});
}

void RuntimeApp::RemoveIdleCallback(HWND window, Word routine) {
    std::erase_if(idleCallbacks_, [&](const IdleCallback& entry) {
        return entry.window == window && entry.routine == routine;
    });
}

bool RuntimeApp::OnIdle(long idleCount) {
    RunIdleCallbacks();
    return AppFramework::OnIdle(idleCount);
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
