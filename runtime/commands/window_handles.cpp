#include "window_handles.h"

#include <atomic>

namespace kx::commands {

namespace {
std::atomic<WindowHandleLookup> g_windowHandleLookup{nullptr};
}

WindowHandleLookup InstallWindowHandleLookup(WindowHandleLookup lookup) {
    return g_windowHandleLookup.exchange(lookup);
}

void* WindowHandleOf(const ValueCell& window) {
    const WindowHandleLookup lookup = g_windowHandleLookup.load();
    return lookup ? lookup(window) : nullptr;
}

}  // namespace kx::commands
