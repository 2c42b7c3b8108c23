#include "unit_cursors.h"

#include <cstring>
#include <vector>

#include "mouse_pointer.h"
#include "runtime_app.h"
#include "unit_window.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr DWORD kResourceFormat = 0x00030000;

// A cursor of our own (a copy, even of a system pointer, so that every cursor made here is
// destroyed the same way), or null for the default pointer.
HCURSOR MakeCursor(std::span<const std::uint8_t> data) {
    const MousePointer pointer = ReadMousePointer(data, static_cast<unsigned>(GetSystemMetrics(SM_CXCURSOR)));
    switch (pointer.kind) {
        case MousePointer::Kind::kSystem: {
            HCURSOR system = LoadCursorW(nullptr, MAKEINTRESOURCEW(pointer.systemId));
            return system ? CopyCursor(system) : nullptr;
        }
        case MousePointer::Kind::kImage: {
            // A cursor resource is its hot spot followed by the image.
            std::vector<std::uint8_t> resource(4 + pointer.image.image.size());
            const std::uint16_t hotspot[2] = {pointer.image.hotspotX, pointer.image.hotspotY};
            std::memcpy(resource.data(), hotspot, sizeof hotspot);
            std::memcpy(resource.data() + 4, pointer.image.image.data(), pointer.image.image.size());
            return CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE,
                                            kResourceFormat, 0, 0, LR_DEFAULTCOLOR);
        }
        case MousePointer::Kind::kDefault: break;
    }
    return nullptr;
}

HCURSOR CursorOf(const FormTemplate& form, Word index) {
    const auto record = form.Walk(index);
    return record && !record->isMenuItem ? static_cast<HCURSOR>(LongToHandle(static_cast<LONG>(record->cursor)))
                                         : nullptr;
}

void SetCursorWord(FormTemplate& form, Word index, HCURSOR cursor) {
    SetHeadWord(form, index, head::kCursor, HandleToULong(cursor));
}

}  // namespace

void MakeUnitCursors(FormTemplate& form) {
    for (Word index = 0; index < form.table().count(); ++index) {
        const auto record = form.Walk(index);
        if (record && !record->isMenuItem) SetCursorWord(form, index, MakeCursor(record->mousePointer));
    }
}

void RemakeUnitCursor(FormTemplate& form, Word index) {
    const auto record = form.Walk(index);
    if (!record || record->isMenuItem) return;
    HCURSOR old = CursorOf(form, index);
    SetCursorWord(form, index, MakeCursor(record->mousePointer));
    POINT where;
    if (GetCursorPos(&where)) SetCursorPos(where.x, where.y);
    if (old) DestroyCursor(old);
}

void DestroyUnitCursor(FormTemplate& form, Word index) {
    if (HCURSOR cursor = CursorOf(form, index)) {
        SetCursorWord(form, index, nullptr);
        DestroyCursor(cursor);
    }
}

bool ShowUnitCursor(HWND window, WPARAM wParam, LPARAM lParam) {
    if (reinterpret_cast<HWND>(wParam) != window || LOWORD(lParam) != HTCLIENT) return false;
    const UnitWindow* unit = UnitWindow::Of(window);
    RuntimeApp* app = RuntimeApp::Current();
    const FormTemplate* form = unit && app ? app->forms().Find(unit->formId()) : nullptr;
    const auto index = form && form->loaded() ? form->IndexOfUnitOrOwn(unit->unitId()) : std::nullopt;
    HCURSOR cursor = index ? CursorOf(*form, *index) : nullptr;
    if (!cursor) return false;
    SetCursor(cursor);
    return true;
}

}  // namespace kx::forms
