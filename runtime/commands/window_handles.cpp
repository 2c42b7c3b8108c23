#include "window_handles.h"

#include "runtime_app.h"

namespace kx::commands {

void* WindowHandleOf(const ValueCell& window) {
    RuntimeApp* app = RuntimeApp::Current();
    return app ? app->formLayer().UnitWindowHandle(window.low(), window.high()) : nullptr;
}

}  // namespace kx::commands
