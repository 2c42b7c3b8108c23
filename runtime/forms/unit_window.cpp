#include "unit_window.h"

#include <algorithm>
#include <cstring>

#include "entries.h"
#include "event_arguments.h"
#include "memory.h"
#include "property_blocks.h"
#include "runtime_app.h"
#include "text936.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr wchar_t kUnitProperty[] = L"KxUnitWindow";

bool SetEntry(UnitWindow* object, std::int32_t index, PropertyValue value, bool* recreate) {
    const bool again = object->SetOwnProperty(index, value);
    if (recreate) *recreate = again;
    return again;
}

bool SerialiseEntry(UnitWindow* object, std::vector<std::uint8_t>* out) {
    *out = object->SerialiseBlock();
    return true;
}

bool GetEntry(UnitWindow* object, std::int32_t index, ValueCell* out) {
    return object->GetOwnProperty(index, *out);
}

}  // namespace

UnitWindow* UnitWindow::Of(HWND window) {
    return window ? static_cast<UnitWindow*>(GetPropW(window, kUnitProperty)) : nullptr;
}

void UnitWindow::Attach(HWND window) {
    hwnd_ = window;
    SetPropW(window, kUnitProperty, this);
}

void UnitWindow::Destroyed() {
    if (hwnd_) RemovePropW(hwnd_, kUnitProperty);
    hwnd_ = nullptr;
    if (RuntimeApp::Current()) RuntimeService(library_service::kUnitDestroyed, formId_, unitId_);
    delete this;
}

Word CommonInterfaceEntry(Word code) {
    switch (code) {
        case interface_code::kSetProperty: return ToWord(&SetEntry);
        case interface_code::kSerialise: return ToWord(&SerialiseEntry);
        case interface_code::kGetProperty: return ToWord(&GetEntry);
        default: return 0;
    }
}

std::wstring Wide(const std::string& text) { return WidenCp936(text); }

COLORREF FormBackgroundBehind(HWND control) {
    constexpr std::int32_t kBackgroundIndex = 10 - 8;
    if (UnitWindow* form = UnitWindow::Of(GetParent(control))) {
        ValueCell colour;
        if (form->GetOwnProperty(kBackgroundIndex, colour) && colour.low() != 0xFF000000) return colour.low();
    }
    return GetSysColor(COLOR_BTNFACE);
}

bool RegisterWindowClass(const std::wstring& name, UINT style, WNDPROC procedure) {
    const HINSTANCE module = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // A class of that name made for another procedure would hand our windows to it.
    if (GetClassInfoExW(module, name.c_str(), &windowClass)) return windowClass.lpfnWndProc == procedure;
    windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = module;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    windowClass.lpszClassName = name.c_str();
    return RegisterClassExW(&windowClass) != 0;
}

HFONT FontOf(const std::vector<std::uint8_t>& field, bool& owned) {
    owned = false;
    if (field.size() == kLogFontSize) {
        LOGFONTA font;
        static_assert(sizeof font == 60);
        std::memcpy(&font, field.data(), sizeof font);
        font.lfFaceName[LF_FACESIZE - 1] = 0;
        if (HFONT made = CreateFontIndirectA(&font)) {
            owned = true;
            return made;
        }
    }
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

RaisedEvent RaiseUnitEvent(Word formId, Word unitId, std::int32_t eventIndex,
                           std::initializer_list<Word> arguments) {
    EventRecord record{};
    record.formId = formId;
    record.unitId = unitId;
    record.eventIndex = static_cast<Word>(eventIndex);
    for (Word argument : arguments) {
        if (record.argumentCount < kMaxEventArguments) record.arguments[record.argumentCount++] = argument;
    }
    RaisedEvent raised;
    raised.ran = RuntimeService(library_service::kCallEventRoutine, ToWord(&record), 0) != 0;
    raised.hasResult = record.hasResult != 0;
    raised.result = record.result;
    return raised;
}

ValueCell TextResult(const std::string& text) {
    if (text.empty()) return ValueCell::Text(nullptr);
    return ValueCell::Text(static_cast<const char*>(AllocCopy(text.c_str(), static_cast<std::uint32_t>(text.size() + 1))));
}

ValueCell BytesResult(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return ValueCell::ByteArray(nullptr);
    auto* block = static_cast<std::uint8_t*>(RtAlloc(static_cast<std::uint32_t>(8 + bytes.size())));
    const Word header[2] = {1, static_cast<Word>(bytes.size())};
    std::memcpy(block, header, sizeof header);
    std::memcpy(block + 8, bytes.data(), bytes.size());
    return ValueCell::ByteArray(block);
}

std::vector<std::uint8_t> BytesOfValue(Word address) {
    const auto* block = FromWord<const std::uint8_t*>(address);
    // Only as many bytes as the block really holds are taken.
    const std::size_t readable = ReadableBytes(block);
    if (readable < 8) return {};
    Word header[2];
    std::memcpy(header, block, sizeof header);
    const std::size_t length = std::min<std::size_t>(header[1], readable - 8);
    return {block + 8, block + 8 + length};
}

}  // namespace kx::forms
