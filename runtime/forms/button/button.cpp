#include "button.h"

#include "unit_cursors.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr std::int32_t kClickEvent = 0;
constexpr std::int32_t kFocusGainedEvent = -7;
constexpr std::int32_t kFocusLostEvent = -8;
constexpr DWORD kAlignmentStyles = BS_LEFT | BS_RIGHT | BS_CENTER | BS_TOP | BS_BOTTOM | BS_VCENTER;

}  // namespace

DWORD ButtonStylesOf(const ButtonBlock& block) {
    constexpr DWORD kHorizontal[] = {BS_LEFT, BS_CENTER, BS_RIGHT};
    constexpr DWORD kVertical[] = {BS_TOP, BS_VCENTER, BS_BOTTOM};
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | BS_MULTILINE;
    style |= Clamp(block.buttonType, 0, 1) == 1 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    style |= kHorizontal[Clamp(block.horizontal, 0, 2)] | kVertical[Clamp(block.vertical, 0, 2)];
    return style;
}

Button::~Button() {
    if (ownsFont_) DeleteObject(font_);
}

UnitWindow* Button::Create(const CreateArgs& args) {
    auto* button = new Button(args.formId, args.unitId);
    if (!button->block_.Read({args.block, args.blockLength})) {
        delete button;
        return nullptr;
    }
    const RECT rect{args.left, args.top, args.left + args.width, args.top + args.height};
    if (!button->MakeWindow(args.extraStyle, args.parent, args.controlId, rect)) {
        delete button;
        return nullptr;
    }
    return button;
}

bool Button::MakeWindow(DWORD extraStyle, HWND parent, Word controlId, const RECT& rect) {
    extraStyle_ = extraStyle;
    // A picture that cannot be decoded is dropped: the caption shows instead.
    picture_ = Picture(block_.picture);
    DWORD style = extraStyle | ButtonStylesOf(block_);
    if (picture_) style |= picture_.isIcon() ? BS_ICON : BS_BITMAP;
    HWND window = CreateWindowExW(0, L"BUTTON", Wide(block_.caption).c_str(), style,
                                  rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, parent,
                                  reinterpret_cast<HMENU>(static_cast<UINT_PTR>(controlId)),
                                  GetModuleHandleW(nullptr), nullptr);
    if (!window) return false;
    Attach(window);
    systemProcedure_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Procedure)));
    ApplyFont();
    if (picture_) {
        SendMessageW(window, BM_SETIMAGE, picture_.isIcon() ? IMAGE_ICON : IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(picture_.handle()));
    }
    return true;
}

void Button::ApplyFont() {
    HFONT old = font_;
    const bool ownedOld = ownsFont_;
    font_ = FontOf(block_.font, ownsFont_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (ownedOld) DeleteObject(old);
}

void Button::ApplyStyles() {
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const DWORD wanted = ButtonStylesOf(block_);
    SetWindowLongPtrW(hwnd_, GWL_STYLE,
                      static_cast<LONG_PTR>((style & ~(kAlignmentStyles | BS_DEFPUSHBUTTON)) |
                                            (wanted & (kAlignmentStyles | BS_DEFPUSHBUTTON))));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(hwnd_, nullptr, TRUE);
}

void Button::Recreate() {
    // A new window in the old one's place: same parent, id, rectangle, z-order and state.
    HWND old = hwnd_;
    HWND parent = GetParent(old);
    RECT rect;
    GetWindowRect(old, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(old, GWL_STYLE));
    const Word id = static_cast<Word>(GetDlgCtrlID(old));
    HWND before = GetWindow(old, GW_HWNDPREV);
    recreating_ = true;
    DestroyWindow(old);
    recreating_ = false;
    if (!MakeWindow(style & (WS_VISIBLE | WS_DISABLED | WS_TABSTOP), parent, id, rect)) return;
    SetWindowPos(hwnd_, before ? before : HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Button::OnReflectedCommand(WORD code) {
    if (code == BN_CLICKED) RaiseUnitEvent(formId_, unitId_, kClickEvent);
}

LRESULT CALLBACK Button::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* button = static_cast<Button*>(UnitWindow::Of(window));
    if (!button) return DefWindowProcW(window, message, wParam, lParam);
    if (message == kRecreateWindowMessage) {
        RecreateUnitWindow(button);
        return 0;
    }
    if (message == WM_SETCURSOR && ShowUnitCursor(window, wParam, lParam)) return TRUE;
    const WNDPROC system = button->systemProcedure_;
    const LRESULT result = CallWindowProcW(system, window, message, wParam, lParam);
    switch (message) {
        case WM_SETFOCUS: RaiseUnitEvent(button->formId_, button->unitId_, kFocusGainedEvent); break;
        case WM_KILLFOCUS: RaiseUnitEvent(button->formId_, button->unitId_, kFocusLostEvent); break;
        case WM_NCDESTROY:
            // A window taken down to be made again keeps its object.
            if (button->recreating_) {
                RemovePropW(window, L"KxUnitWindow");
            } else {
                button->Destroyed();
            }
            break;
        default: break;
    }
    return result;
}

bool Button::SetOwnProperty(std::int32_t index, PropertyValue value) {
    ButtonBlock& b = block_;
    const Word v = value.low;
    switch (index + 8) {
        case 8:
            b.picture = BytesOfValue(v);
            return true;  // a picture changes the window's kind: made again
        case 9: b.buttonType = Clamp(v, 0, 1); break;
        case 10: {
            const char* text = FromWord<const char*>(v);
            b.caption = text ? text : "";
            if (hwnd_) SetWindowTextW(hwnd_, Wide(b.caption).c_str());
            return false;
        }
        case 11: b.horizontal = Clamp(v, 0, 2); break;
        case 12: b.vertical = Clamp(v, 0, 2); break;
        case 13:
            b.font = BytesOfValue(v);
            if (hwnd_) ApplyFont();
            return false;
        default: return false;
    }
    if (hwnd_) ApplyStyles();
    return false;
}

bool Button::GetOwnProperty(std::int32_t index, ValueCell& out) {
    const ButtonBlock& b = block_;
    switch (index + 8) {
        case 8: out = BytesResult(b.picture); return true;
        case 9: out = ValueCell::Integer(static_cast<std::int32_t>(b.buttonType)); return true;
        case 10: out = TextResult(b.caption); return true;
        case 11: out = ValueCell::Integer(static_cast<std::int32_t>(b.horizontal)); return true;
        case 12: out = ValueCell::Integer(static_cast<std::int32_t>(b.vertical)); return true;
        case 13: out = BytesResult(b.font); return true;
        default: return false;
    }
}

Word Button::Interface(Word code) {
    if (code == interface_code::kCreate) return ToWord(&Create);
    return CommonInterfaceEntry(code);
}

}  // namespace kx::forms
