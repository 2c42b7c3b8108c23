// Property access by (form id, unit id, property number): properties 0-7 from the record or
// the live window, 8 and up through the data type's get and set entries. Any thread: a
// write from a thread other than the window's calls the set entry there, and the platform
// hands the window's own thread its timer and paint messages.
#include <windows.h>

#include <cstring>

#include "archive.h"
#include "data_types.h"
#include "entries.h"
#include "error_text.h"
#include "errors.h"
#include "memory.h"
#include "property_blocks.h"
#include "runtime_app.h"
#include "unit_cursors.h"
#include "unit_window.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

struct Unit {
    FormTemplate* form;
    Word index;
    UnitRecord record;
    const DataTypeRecord* type;
    UnitWindow* object;  // null when not loaded
};

std::int32_t Int(Word word) { return static_cast<std::int32_t>(word); }

// Steps 1-2: the form (or the error), the unit's record, its data type and live object.
std::optional<Unit> FindUnit(Word formId, Word unitId) {
    FormTemplate* form = Forms().Find(formId);
    if (!form) ReportRuntimeError(fixed_error::kPropertyFormMissing, 0, Int(formId), Int(unitId));
    const auto index = form->IndexOfUnitOrOwn(unitId);
    auto record = index ? form->Walk(*index) : std::nullopt;
    if (!record) return std::nullopt;  // not a unit of the form: the caller's mistake
    return Unit{form, *index, std::move(*record), DataTypeOf(record->typeId),
                record->isMenuItem ? nullptr : LiveObject(*form, *index)};
}

RECT RectInParent(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    if (GetWindowLongPtrW(window, GWL_STYLE) & WS_CHILD) {
        MapWindowPoints(nullptr, GetParent(window), reinterpret_cast<POINT*>(&rect), 2);
    }
    return rect;
}

std::uint64_t Pack(Word low, Word high = 0) { return std::uint64_t{high} << 32 | low; }

std::uint64_t NewText(const std::string& text) {
    if (text.empty()) return 0;
    return ToWord(AllocCopy(text.c_str(), static_cast<std::uint32_t>(text.size() + 1)));
}

// Converts a written value by its type code.
PropertyValue Converted(Word typeCode, Word low, Word high) {
    switch (typeCode) {
        case 1002:
        case 1004: return {low, high};
        case 1003: return {low != 0 ? 1u : 0u, 0};
        case 1006: return {Int(low) < 0 ? 0u : low, 0};
        default: return {low, 0};
    }
}

void FlushMessages() { RuntimeService(library_service::kProcessPendingMessages, 0, 0); }

constexpr std::int32_t kWholeValue = -1;

// The font a control shows without one of its own, as a LOGFONTA field.
ByteData StockFontBytes() {
    LOGFONTA font{};
    GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    static_assert(sizeof font == kLogFontSize);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&font);
    return {bytes, bytes + sizeof font};
}

// One attribute of the stored font (of the stock font when none is stored) changes, and the
// whole font goes back through the set entry; an element that names no attribute changes
// nothing.
void WriteFontAttribute(const DataTypeRecord* type, UnitWindow* object, std::int32_t property, std::int32_t element,
                        Word value) {
    ByteData font;
    if (const Word stored = static_cast<Word>(ReadOwnProperty(type, object, property))) {
        font = BytesOfValue(stored);
        RtFree(FromWord<void*>(stored));
    }
    if (font.size() != kLogFontSize) font = StockFontBytes();
    const char* faceName = element == kFaceNameElement ? FromWord<const char*>(value) : nullptr;
    if (!SetFontAttribute(font, element, value, faceName)) return;
    const ValueCell whole = BytesResult(font);
    WriteOwnProperty(type, object, property, kWholeValue, whole.low(), 0);
    RtFree(FromWord<void*>(whole.low()));
}

}  // namespace

std::uint64_t ReadOwnProperty(const DataTypeRecord* type, UnitWindow* object, std::int32_t property) {
    const Word entry = InterfaceEntry(type, interface_code::kGetProperty);
    ValueCell value;
    if (!entry || !FromWord<GetPropertyFn>(entry)(object, property - 8, &value)) return 0;
    return Pack(value.low(), value.high());
}

void WriteOwnProperty(const DataTypeRecord* type, UnitWindow* object, std::int32_t property, std::int32_t element,
                      Word low, Word high) {
    const Word entry = InterfaceEntry(type, interface_code::kSetProperty);
    if (!entry) return;
    const Word typeCode = PropertyTypeCode(type->propertyTable, type->propertyCount, property);
    if (element != kWholeValue && typeCode == kFontTypeCode) {
        WriteFontAttribute(type, object, property, element, low);
        return;
    }
    if (element != kWholeValue && TypeCodeTakesAddress(typeCode)) return;
    bool recreate = false;
    FromWord<SetPropertyFn>(entry)(object, property - 8, Converted(typeCode, low, high), &recreate);
    if (!recreate) return;
    HWND window = object->hwnd();
    if (!window || !IsWindow(window)) return;
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        RecreateUnitWindow(object);
    } else {
        SendMessageW(window, kRecreateWindowMessage, 0, 0);
    }
}

void RecreateUnitWindow(UnitWindow* object) {
    HWND window = object->hwnd();
    FlushMessages();
    // What waited in the queue may have closed the form, and the object went with its window.
    if (!IsWindow(window) || UnitWindow::Of(window) != object) return;
    // While the window is made again, the events it raises are not dispatched.
    RuntimeApp::Current()->SuppressEvents();
    object->Recreate();
    FlushMessages();
    RuntimeApp::Current()->AllowEvents();
}

std::uint64_t ReadUnitProperty(Word formId, Word unitId, std::int32_t property, std::int32_t /*element*/) {
    const auto unit = FindUnit(formId, unitId);
    if (!unit) return 0;
    const UnitRecord& r = unit->record;
    HWND window = unit->object ? unit->object->hwnd() : nullptr;
    if (r.isMenuItem) return 0;  // menu items' places are not kept by this runtime
    switch (property) {
        case 0:
        case 1:
        case 2:
        case 3: {
            if (!window) {
                const std::int32_t stored[] = {r.left, r.top, r.width, r.height};
                return static_cast<Word>(stored[property]);
            }
            const RECT rect = RectInParent(window);
            const LONG values[] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
            return static_cast<Word>(values[property]);
        }
        case 4: return NewText(r.tag);
        case 5: return window ? (IsWindowVisible(window) ? 1 : 0) : (r.flags & kUnitVisible ? 1 : 0);
        case 6: return window ? (IsWindowEnabled(window) ? 0 : 1) : (r.flags & kUnitDisabled ? 1 : 0);
        case 7: {
            const std::vector<std::uint8_t> bytes(r.mousePointer.begin(), r.mousePointer.end());
            return BytesResult(bytes).low();
        }
        default:
            break;
    }
    if (!unit->object) ReportRuntimeError(fixed_error::kReadUnitNotLoaded, 0, Int(formId), Int(unitId));
    return ReadOwnProperty(unit->type, unit->object, property);
}

void WriteUnitProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element, Word low,
                       Word high) {
    auto unit = FindUnit(formId, unitId);
    if (!unit) return;
    if (property >= 8) {
        if (!unit->object) ReportRuntimeError(fixed_error::kWriteUnitNotLoaded, 0, Int(formId), Int(unitId));
        WriteOwnProperty(unit->type, unit->object, property, element, low, high);
        return;
    }
    // The tag (a text) and the mouse pointer (bytes) are written only whole: with an element
    // index the word is no value the program handed over.
    if ((property == 4 || property == 7) && element != kWholeValue) return;
    const UnitRecord& r = unit->record;
    if (r.isMenuItem) return;
    HWND window = unit->object ? unit->object->hwnd() : nullptr;
    FormTemplate& form = *unit->form;
    switch (property) {
        case 0:
        case 1:
        case 2:
        case 3: {
            if (!window) {
                constexpr std::size_t kOffsets[] = {head::kLeft, head::kTop, head::kWidth, head::kHeight};
                SetHeadWord(form, unit->index, kOffsets[property], low);
                return;
            }
            RECT rect = RectInParent(window);
            LONG values[] = {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
            values[property] = Int(low);
            MoveWindow(window, values[0], values[1], values[2], values[3], TRUE);
            return;
        }
        case 4: {
            const char* text = FromWord<const char*>(low);
            const std::string tag = text ? text : "";
            std::vector<std::uint8_t> bytes(tag.begin(), tag.end());
            bytes.push_back(0);
            ReplaceRecordPart(form, unit->index, r.tagAt, r.tail, bytes);
            return;
        }
        case 5:
        case 6: {
            const bool on = low != 0;
            if (window) {
                if (property == 5) ShowWindow(window, on ? SW_SHOW : SW_HIDE);
                else EnableWindow(window, on ? FALSE : TRUE);
                return;
            }
            const Word bit = property == 5 ? kUnitVisible : kUnitDisabled;
            std::uint8_t* flags = form.table().MutableRecord(unit->index).data() + r.tail + 4;
            StoreWord(flags, on ? (LoadWord(flags) | bit) : (LoadWord(flags) & ~bit));
            return;
        }
        case 7: {
            const std::vector<std::uint8_t> bytes = BytesOfValue(low);
            ArchiveWriter out;
            out.Buffer(bytes);
            ReplaceRecordPart(form, unit->index, r.mousePointerAt, r.tagAt, out.bytes());
            // A unit that is not loaded gets its cursor when its form loads.
            if (window) RemakeUnitCursor(form, unit->index);
            return;
        }
        default:
            return;
    }
}

}  // namespace kx::forms
