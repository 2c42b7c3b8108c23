#include "runtime_app.h"

#include <atomic>
#include <functional>

#include "entries.h"

namespace kx {

namespace {
std::atomic<RuntimeApp*> g_current{nullptr};
}

RuntimeApp::RuntimeApp(const ProgramImageHeader* image, ProgramEntryFn programEntry,
                       FormLayer* formLayer)
    : image_(image), programEntry_(programEntry), formLayer_(formLayer ? formLayer : &NoFormLayer()) {
    g_current.store(this);
}

RuntimeApp::~RuntimeApp() {
    End(0);
    RuntimeApp* self = this;
    g_current.compare_exchange_strong(self, nullptr);
}

RuntimeApp* RuntimeApp::Current() { return g_current.load(); }

int RuntimeApp::InitInstance() {
    RecordProgramPath();
    supportModules_[1] = PlaceholderSupportModule(image_->codeBase);
    return programEntry_();
}

int RuntimeApp::ExitInstance() {
    End(0);
    return ProcessExitCode(AppFramework::ExitInstance());
}

bool RuntimeApp::IsConstant(const void* address) const {
    const std::less<const void*> before;
    return constantsStart_ && !before(address, constantsStart_) && before(address, constantsEnd_);
}

std::size_t RuntimeApp::ConstantBytesFrom(const void* address) const {
    if (!IsConstant(address)) return 0;
    return static_cast<std::size_t>(constantsEnd_ - static_cast<const std::uint8_t*>(address));
}

void RuntimeApp::AddExitRoutine(Word routine) {
    for (Word known : exitRoutines_) {
        if (known == routine) return;
    }
    exitRoutines_.push_back(routine);
}

void RuntimeApp::RunUntilWindowsClosed() {
    waiting_ = true;
    if (!formLayer_->AnyFormWindow()) return;
    RunMessageLoop();
}

void RuntimeApp::AllowEvents() {
    int current = eventSuppression_.load();
    while (current > 0 && !eventSuppression_.compare_exchange_weak(current, current - 1)) {
    }
}

void RuntimeApp::LoadDefaultIcons(HICON icons[2]) {
    if (!defaultIconsLoaded_) {
        const HINSTANCE module = GetModuleHandleA(nullptr);
        defaultIcons_[0] = static_cast<HICON>(LoadImageA(module, "DEFAULT_ICON", IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXICON),
                                                         GetSystemMetrics(SM_CYICON), 0));
        defaultIcons_[1] = static_cast<HICON>(LoadImageA(module, "DEFAULT_ICON", IMAGE_ICON,
                                                         GetSystemMetrics(SM_CXSMICON),
                                                         GetSystemMetrics(SM_CYSMICON), 0));
        defaultIconsLoaded_ = true;
    }
    icons[0] = defaultIcons_[0];
    icons[1] = defaultIcons_[1];
}

void RuntimeApp::ProcessPendingMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
        PumpMessage(message);
    }
}

}  // namespace kx
