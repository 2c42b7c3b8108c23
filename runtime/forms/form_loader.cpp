// LoadForm: a form template turned into live windows, step by step in the order the program
// relies on (controls exist and are shown before the form's load events run, and those run
// before the form itself is shown). Main thread.
#include <windows.h>

#include <vector>

#include "entries.h"
#include "load_plan.h"
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

// What one load carries from step to step.
struct Loading {
    FormTemplate& form;
    Word loader;
    LoadPlan plan;
    std::vector<bool> visible;  // by unit index, for steps 11 and 14
    HWND formWindow = nullptr;
};

void ProcessAndSuppress(bool suppress) {
    RuntimeService(suppress ? library_service::kSuppressEvents : library_service::kAllowEvents, 0, 0);
}

HWND WindowOf(const FormTemplate& form, Word index) {
    UnitWindow* object = LiveObject(form, index);
    return object ? object->hwnd() : nullptr;
}

// The object of unit 0 is a form window: the block reader refuses a form whose first unit
// is not of the window type, and the plan is made only for such forms.
FormWindow* FormObject(const FormTemplate& form) { return static_cast<FormWindow*>(LiveObject(form, 0)); }

bool FocusWithin(HWND focus, HWND formWindow) {
    return focus && (focus == formWindow || IsChild(formWindow, focus));
}

// 1: a form that is already up is only brought forward.
bool BringForward(const FormTemplate& form) {
    if (!form.loaded()) return false;
    HWND window = WindowOf(form, 0);
    if (!window) return false;
    if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
    else SetForegroundWindow(window);
    return true;
}

// 2-4: events held back, a working copy whose object and cursor words are clear whatever
// was stored (no unit has a window yet). This runtime builds no menus (the application has
// none).
void BeginLoad(FormTemplate& form) {
    ProcessAndSuppress(true);
    form.BeginWorkingCopy();
    for (Word i = 0; i < form.table().count(); ++i) {
        SetObjectSlot(form, i, 0);
        SetHeadWord(form, i, head::kCursor, 0);
    }
}

// 5: a window for every unit of the plan, the form first; false when a type, its create
// entry or a window is missing.
bool CreateUnitWindows(Loading& load, HWND owner) {
    FormTemplate& form = load.form;
    Word nextControlId = kFirstControlId;
    for (Word index : load.plan.creationOrder) {
        const auto record = form.Walk(index);
        const DataTypeRecord* type = record ? DataTypeOf(record->typeId) : nullptr;
        const Word entry = type ? InterfaceEntry(type, interface_code::kCreate) : 0;
        if (!type || !entry) return false;
        const bool alwaysVisible = (type->typeFlags & kAlwaysVisibleTypeFlag) != 0;
        DWORD extra = 0;
        if ((record->flags & kUnitDisabled) && !alwaysVisible) extra |= WS_DISABLED;
        if (record->flags & kUnitTabStop) extra |= WS_TABSTOP;
        CreateArgs args{record->propertyBlock.data(), static_cast<Word>(record->propertyBlock.size()), extra,
                        index == 0 ? owner : load.formWindow, 0, nullptr, record->left, record->top,
                        record->width, record->height, form.id, form.table().IdAt(index), 0, 0};
        if (index != 0) {
            args.controlId = nextControlId;
            nextControlId += kControlIdStep;
        }
        UnitWindow* object = FromWord<CreateUnitFn>(entry)(args);
        if (!object) return false;
        SetObjectSlot(form, index, ToWord(object));
        if (index == 0) {
            static_cast<FormWindow*>(object)->SetLoader(load.loader);
            load.formWindow = object->hwnd();
        }
        load.visible[index] = alwaysVisible || (record->flags & kUnitVisible);
    }
    return true;
}

// 6: takes down what a failed load made and forgets the working table.
bool FailLoad(FormTemplate& form) {
    ProcessAndSuppress(false);
    if (FormWindow* own = FormObject(form)) {
        own->SetQuiet();
        DestroyWindow(own->hwnd());
    }
    for (Word i = 1; form.loaded() && i < form.table().count(); ++i) {
        if (UnitWindow* control = LiveObject(form, i)) DestroyWindow(control->hwnd());
    }
    form.DropWorkingCopy();
    return false;
}

// 7: each control goes into its container; units listed after a container's first 0 word
// start hidden.
void ParentControls(Loading& load) {
    for (Word i = 1; i < load.form.table().count(); ++i) {
        const auto record = load.form.Walk(i);
        HWND window = WindowOf(load.form, i);
        if (!record || !window) continue;
        const auto parent = record->parentId ? load.form.table().IndexOf(record->parentId) : std::nullopt;
        HWND parentWindow = parent ? WindowOf(load.form, *parent) : nullptr;
        SetParent(window, parentWindow ? parentWindow : load.formWindow);
    }
    for (Word i = 1; i < load.visible.size(); ++i) {
        if (load.plan.hiddenByChildList[i]) load.visible[i] = false;
    }
}

// 8: z-order is the stored order, index 1 on top.
void StackControls(const FormTemplate& form) {
    for (Word i = 1; i < form.table().count(); ++i) {
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
}

// 10: every unit, then the form, hears that all windows exist.
void AnnounceUnitsCreated(const Loading& load) {
    for (Word i = load.form.table().count(); i-- > 0;) {
        if (HWND window = WindowOf(load.form, i)) SendMessageW(window, kUnitsCreatedMessage, 0, 0);
    }
    SendMessageW(load.formWindow, kFormLoadedMessage, 0, 0);
}

// 11.
void ShowControls(const Loading& load) {
    for (Word i = 1; i < load.form.table().count(); ++i) {
        if (HWND window = WindowOf(load.form, i)) ShowWindow(window, load.visible[i] ? SW_SHOWNA : SW_HIDE);
    }
}

// 13: the load events, while the form's window lasts.
void RaiseLoadEvents(const Loading& load) {
    const Word ownUnit = load.form.table().IdAt(0);
    for (std::int32_t event : kLoadEvents) {
        if (IsWindow(load.formWindow)) RaiseUnitEvent(load.form.id, ownUnit, event);
    }
}

// 14: the form shows itself, and the unit that then has the focus hears of it.
void ShowForm(const Loading& load) {
    if (!IsWindow(load.formWindow) || !load.visible[0]) return;
    FormWindow* formObject = FormObject(load.form);
    RuntimeApp* app = RuntimeApp::Current();
    const Word start = formObject ? formObject->block().startPosition : 0;
    int show = SW_SHOW;
    if (load.loader == 0 && app && app->hiddenOwner()) {
        if (start == 3) show = SW_SHOWMAXIMIZED;
        else if (start == 2) show = SW_SHOWMINIMIZED;
    }
    ShowWindow(load.formWindow, show);
    HWND focus = GetFocus();
    if (load.loader == 0 && FocusWithin(focus, load.formWindow)) {
        UnitWindow* focused = UnitWindow::Of(focus);
        const Word unit = focused && focus != load.formWindow ? focused->unitId() : load.form.table().IdAt(0);
        RaiseUnitEvent(load.form.id, unit, kFocusGainedEvent);
    }
}

// 15: a modal form disables every other form window.
void DisableOtherForms(const Loading& load) {
    if (!IsWindow(load.formWindow)) return;
    std::vector<HWND> others;
    for (const auto& other : Forms().forms()) {
        UnitWindow* window = other.get() != &load.form ? LiveObject(*other, 0) : nullptr;
        if (window) others.push_back(window->hwnd());
    }
    if (FormWindow* formObject = FormObject(load.form)) formObject->DisableOthers(others);
}

// 16: the units hear that loading is over; the focus stays where it was.
void FinishLoad(const Loading& load) {
    if (!IsWindow(load.formWindow)) return;
    HWND focus = GetFocus();
    for (Word i = load.form.table().count(); i-- > 0;) {
        if (HWND window = WindowOf(load.form, i)) SendMessageW(window, kLoadFinishedMessage, 0, 0);
    }
    if (focus && GetFocus() != focus && IsWindow(focus)) SetFocus(focus);
    if (FormWindow* formObject = FormObject(load.form)) formObject->SetLoadFinished();
}

}  // namespace

bool LoadForm(FormTemplate& form, Word loader, bool modal, HWND owner) {
    if (BringForward(form)) return true;
    BeginLoad(form);
    auto plan = PlanLoad(form);
    if (!plan) return FailLoad(form);
    Loading load{form, loader, std::move(*plan), std::vector<bool>(form.table().count(), false)};
    if (!CreateUnitWindows(load, owner)) return FailLoad(form);
    ParentControls(load);
    StackControls(form);
    MakeUnitCursors(form);
    AnnounceUnitsCreated(load);
    ShowControls(load);
    ProcessAndSuppress(false);  // 12: events flow again
    RaiseLoadEvents(load);
    ShowForm(load);
    if (modal) DisableOtherForms(load);
    FinishLoad(load);
    return true;
}

}  // namespace kx::forms
