#include "timer.h"

#include "window_layer.h"

namespace kx::forms {

UnitWindow* Timer::Create(const CreateArgs& args) {
    TimerBlock block;
    if (!block.Read({args.block, args.blockLength})) return nullptr;
    auto* timer = new Timer(args.formId, args.unitId, args.designMode);
    timer->interval_ = block.interval;

    const HINSTANCE module = GetModuleHandleW(nullptr);
    const std::wstring className = Wide(kTimerClass);
    if (!RegisterWindowClass(className, CS_DBLCLKS, &Procedure)) {
        delete timer;
        return nullptr;
    }
    const DWORD style = args.extraStyle | WS_CHILD | WS_CLIPSIBLINGS | (args.designMode ? WS_BORDER : 0);
    // The object rides along in the creation data so that WM_CREATE can start the timer.
    HWND window = CreateWindowExW(0, className.c_str(), L"", style, args.left, args.top, args.width, args.height,
                                  args.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.controlId)),
                                  module, timer);
    if (!window) {
        delete timer;
        return nullptr;
    }
    return timer;
}

LRESULT CALLBACK Timer::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* timer = static_cast<Timer*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        timer->Attach(window);
    }
    auto* timer = static_cast<Timer*>(UnitWindow::Of(window));
    if (!timer) return DefWindowProcW(window, message, wParam, lParam);
    if (message == WM_ERASEBKGND) {
        // Nothing of the timer shows at run time: the form's background fills its place.
        RECT client;
        GetClientRect(window, &client);
        HBRUSH brush = CreateSolidBrush(FormBackgroundBehind(window));
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
        case WM_CREATE:
            if (timer->interval_ >= 1 && !timer->designMode_) {
                SetTimer(window, kTimerId, timer->interval_, nullptr);
                timer->running_ = true;
            }
            break;
        case WM_TIMER:
            // Any timer id ticks.
            RaiseUnitEvent(timer->formId_, timer->unitId_, 0);
            break;
        case WM_DESTROY:
            if (timer->running_) {
                KillTimer(window, kTimerId);
                timer->running_ = false;
            }
            break;
        case WM_NCDESTROY:
            timer->Destroyed();
            break;
        default: break;
    }
    return result;
}

bool Timer::SetOwnProperty(std::int32_t index, PropertyValue value) {
    if (index != 0) return false;
    const Word interval = TimerInterval(value.low);
    // The same value keeps a running timer's phase.
    if (interval == interval_.load()) return false;
    interval_ = interval;
    if (designMode_) return false;
    if (running_) KillTimer(hwnd_, kTimerId);
    if (interval > 0 && hwnd_) {
        SetTimer(hwnd_, kTimerId, interval, nullptr);
        running_ = true;
    } else {
        running_ = false;
    }
    return false;
}

bool Timer::GetOwnProperty(std::int32_t index, ValueCell& out) {
    if (index != 0) return false;
    out = ValueCell::Integer(static_cast<std::int32_t>(interval_.load()));
    return true;
}

std::vector<std::uint8_t> Timer::SerialiseBlock() const {
    TimerBlock block;
    block.interval = interval_.load();
    return block.Write();
}

Word Timer::Interface(Word code) {
    if (code == interface_code::kCreate) return ToWord(&Create);
    return CommonInterfaceEntry(code);
}

}  // namespace kx::forms
