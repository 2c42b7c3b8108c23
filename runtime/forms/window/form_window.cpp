#include "form_window.h"

#include "entries.h"
#include "hidden_owner.h"
#include "runtime_app.h"
#include "unit_cursors.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr DWORD kFrameMask = 0xCB0000;  // caption, system menu, minimise and maximise boxes
constexpr std::int32_t kCloseQueryEvent = 12;
constexpr std::int32_t kCloseEvent = 1;
constexpr std::int32_t kDestroyEvent = 2;

struct BorderStyle {
    DWORD style;
    DWORD exStyle;
};
constexpr BorderStyle kBorderStyles[] = {
    {0, 0},                                   // 0: none
    {WS_THICKFRAME, 0},                       // 1
    {0, 0},                                   // 2: fixed dialog frame
    {WS_THICKFRAME, WS_EX_TOOLWINDOW},        // 3
    {0, WS_EX_TOOLWINDOW},                    // 4
    {WS_THICKFRAME, WS_EX_CLIENTEDGE},        // 5
    {0, WS_EX_CLIENTEDGE},                    // 6
};

bool RegisterFormClass(const std::string& name, WNDPROC procedure) {
    return RegisterWindowClass(Wide(name), CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, procedure);
}

}  // namespace

DWORD FrameStylesOf(const WindowBlock& block) {
    DWORD style = 0;
    if (block.borderStyle != 0) {
        if (!block.title.empty() || block.controlBox) style |= WS_CAPTION;
        if (block.controlBox) style |= WS_SYSMENU;
    }
    if (block.maximizeBox) style |= WS_MAXIMIZEBOX;
    if (block.minimizeBox) style |= WS_MINIMIZEBOX;
    return style;
}

WindowStyles StylesOf(const WindowBlock& block) {
    const BorderStyle& border = kBorderStyles[Clamp(block.borderStyle, 0, 6)];
    WindowStyles styles{WS_CLIPCHILDREN | FrameStylesOf(block) | border.style, border.exStyle};
    if (block.borderStyle != 0) styles.style |= WS_DLGFRAME;
    return styles;
}

UnitWindow* FormWindow::Create(const CreateArgs& args) {
    auto* form = new FormWindow(args.formId, args.unitId);
    if (!form->block_.Read({args.block, args.blockLength})) {
        delete form;
        return nullptr;
    }
    const WindowBlock& block = form->block_;
    const WindowStyles styles = StylesOf(block);
    DWORD style = args.extraStyle | styles.style;
    std::int32_t left = args.left, top = args.top;
    switch (block.startPosition) {
        case 1:
            left = (GetSystemMetrics(SM_CXSCREEN) - args.width) / 2;
            top = (GetSystemMetrics(SM_CYSCREEN) - args.height) / 2;
            break;
        case 2: style |= WS_MINIMIZE; break;
        case 3:
            if (style & WS_THICKFRAME) style |= WS_MAXIMIZE;
            break;
        default: break;
    }
    HWND owner = args.parent;
    if (owner) {
        style = (style & 0x3FFFFFFF) | WS_POPUP;
    } else if (block.taskbarButton == 0) {
        // No taskbar button: owned by the hidden owner window.
        if (RuntimeApp* app = RuntimeApp::Current(); app && app->hiddenOwner()) owner = app->hiddenOwner();
    }
    const std::string className = block.className.empty() ? kFormWindowClass : block.className;
    if (!RegisterFormClass(className, &Procedure)) {
        delete form;
        return nullptr;
    }
    HWND window = CreateWindowExW(styles.exStyle, Wide(className).c_str(), Wide(block.title).c_str(), style,
                                  left, top, args.width, args.height, owner, args.menu,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) {
        delete form;
        return nullptr;
    }
    form->Attach(window);

    form->UpdateFrame();
    RECT outer;
    GetWindowRect(window, &outer);
    if (outer.right - outer.left != args.width || outer.bottom - outer.top != args.height) {
        MoveWindow(window, left, top, args.width, args.height, TRUE);
    }
    form->ApplyIcon();
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), TRUE);
    if (block.alwaysOnTop) SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (!block.closable) DeleteMenu(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND);
    return form;
}

void FormWindow::UpdateFrame() {
    const DWORD wanted = FrameStylesOf(block_);
    const auto current = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    if ((current & kFrameMask) == wanted) return;
    SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((current & ~kFrameMask) | wanted));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyIcon() {
    // The form's own icon when it has one that decodes as an icon, else the program's.
    Picture own(block_.icon);
    HICON big = static_cast<HICON>(own.isIcon() ? own.handle() : nullptr);
    HICON small = big;
    if (!big) {
        Word defaults[2] = {0, 0};
        RuntimeService(library_service::kLoadDefaultIcons, ToWord(defaults), 0);
        big = static_cast<HICON>(ULongToHandle(defaults[0]));
        small = static_cast<HICON>(ULongToHandle(defaults[1]));
    }
    SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    // The icon shown until now goes only once the window has let go of it.
    icon_ = std::move(own);
}

void FormWindow::UpdateBorder() {
    constexpr DWORD kBorderMask = kFrameMask | WS_THICKFRAME;
    constexpr DWORD kBorderExMask = WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE;
    const WindowStyles wanted = StylesOf(block_);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((style & ~kBorderMask) | (wanted.style & kBorderMask)));
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>((exStyle & ~kBorderExMask) | wanted.exStyle));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormWindow::ApplyStartPosition() {
    switch (block_.startPosition) {
        case 1: {
            if (IsIconic(hwnd_) || IsZoomed(hwnd_)) ShowWindow(hwnd_, SW_RESTORE);
            RECT rect;
            GetWindowRect(hwnd_, &rect);
            const int width = rect.right - rect.left, height = rect.bottom - rect.top;
            const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
            const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
            if (left != rect.left || top != rect.top) {
                SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            break;
        }
        case 2: ShowWindow(hwnd_, SW_MINIMIZE); break;
        case 3: ShowWindow(hwnd_, SW_MAXIMIZE); break;
        default: ShowWindow(hwnd_, SW_SHOWNORMAL); break;
    }
}

void FormWindow::RaiseOtherTopmostForms() {
    for (const auto& form : Forms().forms()) {
        auto* other = form->loaded() ? static_cast<FormWindow*>(LiveObject(*form, 0)) : nullptr;
        if (other && other != this && other->block_.alwaysOnTop && !other->block_.taskbarButton) {
            SetWindowPos(other->hwnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

void FormWindow::DisableOthers(const std::vector<HWND>& others) {
    for (HWND window : others) {
        disabled_.emplace_back(window, IsWindowEnabled(window) != FALSE);
        EnableWindow(window, FALSE);
    }
}

COLORREF FormWindow::Background() const {
    return block_.background == 0xFF000000 ? GetSysColor(COLOR_BTNFACE) : block_.background;
}

bool FormWindow::CloseAllowed(std::int32_t eventIndex) {
    const HWND window = hwnd_;
    const bool cancellable = loader_ == 0;
    const RaisedEvent raised = RaiseUnitEvent(formId_, unitId_, eventIndex);
    // The routine may have closed the form itself, and this object is gone with its window.
    if (!IsWindow(window) || UnitWindow::Of(window) != this) return false;
    // Only a returned 0 cancels; a routine that returns nothing never does.
    return !(cancellable && raised.hasResult && raised.result == 0);
}

LRESULT CALLBACK FormWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* form = static_cast<FormWindow*>(UnitWindow::Of(window));
    if (!form) return DefWindowProcW(window, message, wParam, lParam);
    return form->Handle(message, wParam, lParam);
}

LRESULT FormWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CLOSE:
            if (!quiet_ && (!CloseAllowed(kCloseQueryEvent) || !CloseAllowed(kCloseEvent))) return 0;
            for (const auto& [window, wasEnabled] : std::exchange(disabled_, {})) {
                if (IsWindow(window)) EnableWindow(window, wasEnabled);
            }
            DestroyWindow(hwnd_);
            return 0;
        case WM_DESTROY: {
            const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
            if (!quiet_) RaiseUnitEvent(formId_, unitId_, kDestroyEvent);
            if (HMENU menu = GetMenu(hwnd_)) {
                SetMenu(hwnd_, nullptr);
                DestroyMenu(menu);
            }
            return result;
        }
        case WM_NCDESTROY: {
            const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
            Destroyed();
            return result;
        }
        case WM_ERASEBKGND: {
            RECT client;
            GetClientRect(hwnd_, &client);
            HBRUSH brush = CreateSolidBrush(Background());
            FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
            DeleteObject(brush);
            return 1;
        }
        case WM_COMMAND:
            if (UnitWindow* control = UnitWindow::Of(reinterpret_cast<HWND>(lParam))) {
                control->OnReflectedCommand(HIWORD(wParam));
                return 0;
            }
            break;
        case WM_SETCURSOR:
            if (ShowUnitCursor(hwnd_, wParam, lParam)) return TRUE;
            break;
        case kUnitsCreatedMessage:
            return 0;
        case kFormLoadedMessage:
            unitsCreated_ = true;
            return 0;
        case kLoadFinishedMessage:
            return 0;
        default:
            break;
    }
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

bool FormWindow::SetOwnProperty(std::int32_t index, PropertyValue value) {
    WindowBlock& b = block_;
    const Word v = value.low;
    const auto text = [&value] { return std::string(FromWord<const char*>(value.low) ? FromWord<const char*>(value.low) : ""); };
    switch (index + 8) {
        case 8:
            b.title = text();
            if (hwnd_) SetWindowTextW(hwnd_, Wide(b.title).c_str());
            break;
        case 9:
            b.borderStyle = Clamp(v, 0, 6);
            if (hwnd_) UpdateBorder();
            break;
        case 10: b.background = v; break;
        case 11: b.picture = BytesOfValue(v); break;
        case 12: b.pictureMode = Clamp(v, 0, 3); break;
        case 13: b.sound = BytesOfValue(v); break;
        case 14: b.soundMode = Clamp(v, 0, 2); break;
        case 15: b.controlBox = v != 0; break;
        case 16: b.maximizeBox = v != 0; break;
        case 17: b.minimizeBox = v != 0; break;
        case 18:
            b.startPosition = Clamp(v, 0, 3);
            if (hwnd_ && IsWindowVisible(hwnd_)) ApplyStartPosition();
            break;
        case 19: b.closable = v != 0; break;
        case 20:
            b.icon = BytesOfValue(v);
            if (hwnd_) ApplyIcon();
            break;
        case 21: b.word21 = v != 0; break;
        case 22: b.word22 = v != 0; break;
        case 23: b.word23 = v != 0; break;
        case 24: b.text24 = text(); break;
        case 25: b.word25 = v; break;
        case 26: b.taskbarButton = v != 0; break;
        case 27: b.word27 = v != 0; break;
        case 28: b.shape = Clamp(v, 0, 29); break;
        case 29:
            b.alwaysOnTop = v != 0;
            if (hwnd_) {
                SetWindowPos(hwnd_, b.alwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                             SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                if (!b.alwaysOnTop) RaiseOtherTopmostForms();
            }
            break;
        case 30: b.word30 = v != 0; break;
        case 31: b.className = text(); break;
        default: return false;
    }
    if (hwnd_ && (index + 8 == 8 || (index + 8 >= 15 && index + 8 <= 17))) UpdateFrame();
    if (hwnd_ && (index + 8 == 10 || index + 8 == 11 || index + 8 == 12)) InvalidateRect(hwnd_, nullptr, TRUE);
    if (hwnd_ && index + 8 == 19) {
        if (b.closable) GetSystemMenu(hwnd_, TRUE);
        else DeleteMenu(GetSystemMenu(hwnd_, FALSE), SC_CLOSE, MF_BYCOMMAND);
    }
    return false;
}

bool FormWindow::GetOwnProperty(std::int32_t index, ValueCell& out) {
    const WindowBlock& b = block_;
    const Word words[] = {0, b.borderStyle, b.background, 0, b.pictureMode, 0, b.soundMode, b.controlBox,
                          b.maximizeBox, b.minimizeBox, b.startPosition, b.closable, 0, b.word21, b.word22,
                          b.word23, 0, b.word25, b.taskbarButton, b.word27, b.shape, b.alwaysOnTop, b.word30};
    switch (index + 8) {
        case 8: out = TextResult(b.title); return true;
        case 11: out = BytesResult(b.picture); return true;
        case 13: out = BytesResult(b.sound); return true;
        case 20: out = BytesResult(b.icon); return true;
        case 24: out = TextResult(b.text24); return true;
        case 31: out = TextResult(b.className); return true;
        default:
            if (index < 0 || index >= static_cast<std::int32_t>(std::size(words))) return false;
            out = ValueCell::Integer(static_cast<std::int32_t>(words[index]));
            return true;
    }
}

Word FormWindow::Interface(Word code) {
    if (code == interface_code::kCreate) return ToWord(&Create);
    return CommonInterfaceEntry(code);
}

}  // namespace kx::forms
