#include "label.h"

#include "unit_cursors.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr DWORD kBorderExStyles = WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE;

struct BorderEffect {
    DWORD style;
    DWORD exStyle;
};
constexpr BorderEffect kBorderEffects[] = {
    {0, 0},                                            // 0
    {0, WS_EX_CLIENTEDGE},                             // 1
    {0, WS_EX_DLGMODALFRAME},                          // 2
    {0, WS_EX_STATICEDGE},                             // 3
    {0, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME},       // 4
    {WS_BORDER, 0},                                    // 5
    {0, 0},                                            // 6
};

std::string TextOf(Word address) {
    const char* text = FromWord<const char*>(address);
    return text ? text : "";
}

// The background a label shows: its own colour, or the form's behind it.
COLORREF BackgroundOf(const LabelBlock& block, HWND window) {
    return block.background != 0xFF000000 ? block.background : FormBackgroundBehind(window);
}

}  // namespace

Label::~Label() {
    if (ownsFont_) DeleteObject(font_);
}

UnitWindow* Label::Create(const CreateArgs& args) {
    auto* label = new Label(args.formId, args.unitId);
    if (!label->block_.Read({args.block, args.blockLength})) {
        delete label;
        return nullptr;
    }
    const HINSTANCE module = GetModuleHandleW(nullptr);
    const std::wstring className = Wide(kLabelClass);
    if (!RegisterWindowClass(className, CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS, &Procedure)) {
        delete label;
        return nullptr;
    }
    HWND window = CreateWindowExW(0, className.c_str(), Wide(label->block_.text).c_str(),
                                  args.extraStyle | WS_CHILD | WS_CLIPSIBLINGS, args.left, args.top, args.width,
                                  args.height, args.parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(args.controlId)),
                                  module, nullptr);
    if (!window) {
        delete label;
        return nullptr;
    }
    label->Attach(window);
    label->ApplyFont();
    label->ApplyBorderEffect();
    return label;
}

void Label::ApplyFont() {
    if (ownsFont_) DeleteObject(font_);
    font_ = FontOf(block_.font, ownsFont_);
    SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
}

void Label::ApplyBorderEffect() {
    const BorderEffect& effect = kBorderEffects[Clamp(block_.borderEffect, 0, 6)];
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
    const auto exStyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_EXSTYLE));
    SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>((style & ~WS_BORDER) | effect.style));
    SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, static_cast<LONG_PTR>((exStyle & ~kBorderExStyles) | effect.exStyle));
    SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT CALLBACK Label::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* label = static_cast<Label*>(UnitWindow::Of(window));
    if (!label) return DefWindowProcW(window, message, wParam, lParam);
    return label->Handle(message, wParam, lParam);
}

LRESULT Label::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;  // painted whole in WM_PAINT
        case WM_SETFONT:
            return 0;
        case WM_GETFONT:
            return reinterpret_cast<LRESULT>(font_);
        case WM_SETCURSOR:
            if (ShowUnitCursor(hwnd_, wParam, lParam)) return TRUE;
            return DefWindowProcW(hwnd_, message, wParam, lParam);
        case kLabelEventMessage: {
            const RaisedEvent raised = RaiseUnitEvent(formId_, unitId_, 0,
                                                      {static_cast<Word>(wParam), static_cast<Word>(lParam)});
            return raised.hasResult ? static_cast<LRESULT>(raised.result) : 0;
        }
        case WM_NCDESTROY: {
            const LRESULT result = DefWindowProcW(hwnd_, message, wParam, lParam);
            Destroyed();
            return result;
        }
        default:
            return DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

void Label::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    RECT client;
    GetClientRect(hwnd_, &client);
    HBRUSH brush = CreateSolidBrush(BackgroundOf(block_, hwnd_));
    FillRect(dc, &client, brush);
    DeleteObject(brush);

    // Word 9 picks the horizontal alignment (left, centre, right), word 24 the vertical one
    // (top, centre, bottom); word 16 is the text colour.
    UINT format = DT_NOPREFIX;
    switch (Clamp(block_.word9, 0, 3)) {
        case 1: format |= DT_CENTER; break;
        case 2: format |= DT_RIGHT; break;
        default: format |= DT_LEFT; break;
    }
    switch (Clamp(block_.word24, 0, 2)) {
        case 1: format |= DT_VCENTER | DT_SINGLELINE; break;
        case 2: format |= DT_BOTTOM | DT_SINGLELINE; break;
        default: format |= DT_WORDBREAK; break;
    }
    HGDIOBJ oldFont = SelectObject(dc, font_);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, block_.word16 & 0xFFFFFF);
    std::wstring text = Wide(block_.text);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &client, format);
    SelectObject(dc, oldFont);
    EndPaint(hwnd_, &paint);
}

bool Label::SetOwnProperty(std::int32_t index, PropertyValue value) {
    LabelBlock& b = block_;
    const Word v = value.low;
    switch (index + 8) {
        case 8:
            b.text = TextOf(v);
            if (hwnd_) SetWindowTextW(hwnd_, Wide(b.text).c_str());
            break;
        case 9: b.word9 = Clamp(v, 0, 3); break;
        case 10:
            b.borderEffect = Clamp(v, 0, 6);
            if (hwnd_) ApplyBorderEffect();
            break;
        case 11: b.word11 = static_cast<std::int32_t>(v) < 5 ? 5 : v; break;
        case 12: b.colourA = v; break;
        case 13: b.colourB = v; break;
        case 14: b.colourC = v; break;
        case 15:
            b.font = BytesOfValue(v);
            if (hwnd_) ApplyFont();
            break;
        case 16: b.word16 = v; break;
        case 17: b.background = v; break;
        case 18: b.picture = BytesOfValue(v); break;
        case 19: b.word19 = Clamp(v, 0, 2); break;
        case 20: b.word20 = Clamp(v, 0, 8); break;
        case 21: b.colourD = v; break;
        case 22: b.colourE = v; break;
        case 23: b.colourF = v; break;
        case 24: b.word24 = Clamp(v, 0, 2); break;
        case 25: b.flag25 = v != 0; break;
        case 26: b.word26 = Clamp(v, 0, 2); break;
        case 27: b.text27 = TextOf(v); break;
        case 28: b.text28 = TextOf(v); break;
        default: return false;
    }
    if (hwnd_) InvalidateRect(hwnd_, nullptr, FALSE);
    return false;
}

bool Label::GetOwnProperty(std::int32_t index, ValueCell& out) {
    const LabelBlock& b = block_;
    switch (index + 8) {
        case 8: out = TextResult(b.text); return true;
        case 15: out = BytesResult(b.font); return true;
        case 18: out = BytesResult(b.picture); return true;
        case 27: out = TextResult(b.text27); return true;
        case 28: out = TextResult(b.text28); return true;
        default: break;
    }
    const Word words[] = {0, b.word9, b.borderEffect, b.word11, b.colourA, b.colourB, b.colourC, 0, b.word16,
                          b.background, 0, b.word19, b.word20, b.colourD, b.colourE, b.colourF, b.word24,
                          b.flag25, b.word26};
    if (index < 0 || index >= static_cast<std::int32_t>(std::size(words))) return false;
    out = ValueCell::Integer(static_cast<std::int32_t>(words[index]));
    return true;
}

Word Label::Interface(Word code) {
    if (code == interface_code::kCreate) return ToWord(&Create);
    return CommonInterfaceEntry(code);
}

}  // namespace kx::forms
