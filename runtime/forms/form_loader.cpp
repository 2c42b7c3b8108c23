// LoadForm: a form template turned into live windows, step by step in the order the program
// relies on (controls exist and are shown before the form's load events run, and those run
// before the form itself is shown). Main thread.
#include <windows.h>

#include <vector>

#include "entries.h"
#include "runtime_app.h"
#include "unit_cursors.h"
#include "unit_window.h"
#include "window/form_window.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr Word kFirstControlId = 100;
constexpr Word kControlIdStep = 10;
constexpr Word kAlwaysVisibleTypeFlag = 0x8000;
constexpr std::int32_t kLoadEvents[] = {0, 3, 4};
constexpr std::int32_t kFocusGainedEvent = -7;

void ProcessAndSuppress(bool suppress) {
    RuntimeService(suppress ? library_service::kSuppressEvents : library_service::kAllowEvents, 0, 0);
}

HWND WindowOf(const FormTemplate& form, Word index) {
    UnitWindow* object = LiveObject(form, index);
    return object ? object->hwnd() : nullptr;
}

// Takes down what a failed load made and forgets the working table.
bool FailLoad(FormTemplate& form) {
    if (UnitWindow* own = LiveObject(form, 0)) {
        static_cast<FormWindow*>(own)->SetQuiet();
        DestroyWindow(own->hwnd());
    }
    for (Word i = 1; form.loaded() && i < form.table().count(); ++i) {
        if (UnitWindow* control = LiveObject(form, i)) DestroyWindow(control->hwnd());
    }
    form.DropWorkingCopy();
    return false;
}

bool FocusWithin(HWND focus, HWND formWindow) {
    return focus && (focus == formWindow || IsChild(formWindow, focus));
}

}  // namespace

bool LoadForm(FormTemplate& form, Word loader, bool modal, HWND owner) {
    // 1: a form that is already up is only brought forward.
    if (form.loaded()) {
        if (HWND window = WindowOf(form, 0)) {
            if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
            else SetForegroundWindow(window);
            return true;
        }
    }
    // 2-3.
    ProcessAndSuppress(true);
    form.BeginWorkingCopy();
    const Word count = form.table().count();
    // Whatever object and cursor words were stored, no unit has a window yet.
    for (Word i = 0; i < count; ++i) {
        SetObjectSlot(form, i, 0);
        SetHeadWord(form, i, head::kCursor, 0);
    }
    // 4: this runtime builds no menus (the application has none).

    // 5: the form first, then the controls from the last stored one to the first.
    std::vector<bool> visible(count, false);
    Word nextControlId = kFirstControlId;
    bool created = count > 0;
    for (Word step = 0; created && step < count; ++step) {
        const Word index = step == 0 ? 0 : count - step;
        const auto record = form.Walk(index);
        if (!record) {
            created = false;
            break;
        }
        if (record->isMenuItem) continue;
        const DataTypeRecord* type = DataTypeOf(record->typeId);
        const Word entry = InterfaceEntry(type, interface_code::kCreate);
        if (!entry) {
            created = false;
            break;
        }
        const bool alwaysVisible = (type->typeFlags & kAlwaysVisibleTypeFlag) != 0;
        DWORD extra = 0;
        if ((record->flags & kUnitDisabled) && !alwaysVisible) extra |= WS_DISABLED;
        if (record->flags & kUnitTabStop) extra |= WS_TABSTOP;
        CreateArgs args{record->propertyBlock.data(), static_cast<Word>(record->propertyBlock.size()), extra,
                        index == 0 ? owner : WindowOf(form, 0), 0, nullptr, record->left, record->top,
                        record->width, record->height, form.id, form.table().IdAt(index), 0, 0};
        if (index != 0) {
            args.controlId = nextControlId;
            nextControlId += kControlIdStep;
        }
        UnitWindow* object = FromWord<CreateUnitFn>(entry)(args);
        if (!object) {
            created = false;
            break;
        }
        if (index == 0) static_cast<FormWindow*>(object)->SetLoader(loader);
        SetObjectSlot(form, index, ToWord(object));
        visible[index] = alwaysVisible || (record->flags & kUnitVisible);
    }
    // 6.
    if (!created) {
        ProcessAndSuppress(false);
        return FailLoad(form);
    }
    HWND formWindow = WindowOf(form, 0);

    // 7: parenting; units listed after a container's first 0 word start hidden.
    for (Word i = 1; i < count; ++i) {
        const auto record = form.Walk(i);
        HWND window = WindowOf(form, i);
        if (!record || !window) continue;
        const auto parent = record->parentId ? form.table().IndexOf(record->parentId) : std::nullopt;
        HWND parentWindow = parent ? WindowOf(form, *parent) : nullptr;
        SetParent(window, parentWindow ? parentWindow : formWindow);
        bool afterSeparator = false;
        for (Word child : record->children) {
            if (child == 0) afterSeparator = true;
            else if (afterSeparator)
                if (const auto childIndex = form.table().IndexOf(child)) visible[*childIndex] = false;
        }
    }
    // 8: z-order is the stored order, index 1 on top.
    for (Word i = 1; i < count; ++i) {
        const auto record = form.Walk(i);
        HWND window = WindowOf(form, i);
        if (!record || !window) continue;
        HWND after = HWND_TOP;
        for (Word j = i - 1; j >= 1; --j) {
            const auto earlier = form.Walk(j);
            if (earlier && !earlier->isMenuItem && earlier->parentId == record->parentId && WindowOf(form, j)) {
                after = WindowOf(form, j);
                break;
            }
        }
        SetWindowPos(window, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // 9.
    MakeUnitCursors(form);
    // 10.
    for (Word i = count; i-- > 0;) {
        if (HWND window = WindowOf(form, i)) SendMessageW(window, kUnitsCreatedMessage, 0, 0);
    }
    SendMessageW(formWindow, kFormLoadedMessage, 0, 0);
    // 11.
    for (Word i = 1; i < count; ++i) {
        if (HWND window = WindowOf(form, i)) ShowWindow(window, visible[i] ? SW_SHOWNA : SW_HIDE);
    }
    // 12.
    ProcessAndSuppress(false);

    // 13: the load events, while the form's window lasts.
    const Word ownUnit = form.table().IdAt(0);
    for (std::int32_t event : kLoadEvents) {
        if (IsWindow(formWindow)) RaiseUnitEvent(form.id, ownUnit, event);
    }
    // 14.
    if (IsWindow(formWindow) && visible[0]) {
        auto* formObject = static_cast<FormWindow*>(LiveObject(form, 0));
        RuntimeApp* app = RuntimeApp::Current();
        const Word start = formObject ? formObject->block().startPosition : 0;
        int show = SW_SHOW;
        if (loader == 0 && app && app->hiddenOwner()) {
            if (start == 3) show = SW_SHOWMAXIMIZED;
            else if (start == 2) show = SW_SHOWMINIMIZED;
        }
        ShowWindow(formWindow, show);
        HWND focus = GetFocus();
        if (loader == 0 && FocusWithin(focus, formWindow)) {
            UnitWindow* focused = UnitWindow::Of(focus);
            RaiseUnitEvent(form.id, focused && focus != formWindow ? focused->unitId() : ownUnit, kFocusGainedEvent);
        }
    }
    // 15.
    if (modal && IsWindow(formWindow)) {
        std::vector<HWND> others;
        for (const auto& other : Forms().forms()) {
            UnitWindow* window = other.get() != &form ? LiveObject(*other, 0) : nullptr;
            if (window) others.push_back(window->hwnd());
        }
        if (auto* formObject = static_cast<FormWindow*>(LiveObject(form, 0))) formObject->DisableOthers(others);
    }
    // 16.
    if (!IsWindow(formWindow)) return true;
    HWND focus = GetFocus();
    for (Word i = count; i-- > 0;) {
        if (HWND window = WindowOf(form, i)) SendMessageW(window, kLoadFinishedMessage, 0, 0);
    }
    if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
    if (auto* formObject = static_cast<FormWindow*>(LiveObject(form, 0))) formObject->SetLoadFinished();
    return true;
}

}  // namespace kx::forms
