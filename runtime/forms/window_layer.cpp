#include "window_layer.h"

#include <windows.h>

#include "archive.h"
#include "entries.h"
#include "errors.h"
#include "runtime_app.h"
#include "unit_cursors.h"
#include "unit_window.h"

namespace kx::forms {

namespace {

RuntimeApp& App() { return *RuntimeApp::Current(); }

// The object a word names when it is the live object of a unit of a loaded form, else null:
// a word kept from a form that has closed since, or any other number, is no object.
UnitWindow* LiveObjectOf(Word object) {
    if (!object) return nullptr;
    for (const auto& form : Forms().forms()) {
        if (!form->loaded()) continue;
        for (Word index = 0; index < form->table().count(); ++index) {
            const auto record = form->Walk(index);
            if (record && !record->isMenuItem && record->object == object) return LiveObject(*form, index);
        }
    }
    return nullptr;
}

class Layer final : public FormLayer {
public:
    void TakeForms() override {}

    void Release() override {
        for (const auto& form : Forms().forms()) {
            if (UnitWindow* window = form->loaded() ? LiveObject(*form, 0) : nullptr) {
                DestroyWindow(window->hwnd());
            }
            form->DropWorkingCopy();
        }
    }

    bool AnyFormWindow() override {
        for (const auto& form : Forms().forms()) {
            if (form->loaded() && LiveObject(*form, 0)) return true;
        }
        return false;
    }

    bool LoadStartForm(Word formId) override {
        FormTemplate* form = Forms().Find(formId);
        return form && LoadForm(*form, 0, false, nullptr);
    }

    bool RaiseEvent(EventCall& call) override { return DispatchEvent(call); }

    std::uint64_t ReadProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element) override {
        return forms::ReadUnitProperty(formId, unitId, property, element);
    }
    void WriteProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element, Word low,
                       Word high) override {
        forms::WriteUnitProperty(formId, unitId, property, element, low, high);
    }
    std::uint64_t ReadUnitProperty(Word typeId, std::int32_t property, Word object, std::int32_t) override {
        UnitWindow* unit = LiveObjectOf(object);
        if (!unit || property < 8) return 0;
        return ReadOwnProperty(DataTypeOf(typeId), unit, property);
    }
    void WriteUnitProperty(Word typeId, std::int32_t property, Word object, std::int32_t element, Word low,
                           Word high) override {
        UnitWindow* unit = LiveObjectOf(object);
        if (unit && property >= 8) WriteOwnProperty(DataTypeOf(typeId), unit, property, element, low, high);
    }

    void UnitDestroyed(Word formId, Word unitId) override { forms::UnitDestroyed(formId, unitId); }

    Word UnitObject(Word formId, Word unitId) override {
        const FormTemplate* form = Forms().Find(formId);
        if (!form || !form->loaded()) return 0;
        const auto index = form->IndexOfUnitOrOwn(unitId);
        UnitWindow* object = index ? LiveObject(*form, *index) : nullptr;
        return object ? ToWord(object) : 0;
    }

    void* UnitWindowHandle(Word formId, Word unitId) override {
        auto* object = FromWord<UnitWindow*>(UnitObject(formId, unitId));
        return object ? object->hwnd() : nullptr;
    }
};

}  // namespace

FormLayer& WindowLayer() {
    static Layer layer;
    return layer;
}

FormCollection& Forms() { return App().forms(); }

const DataTypeRecord* DataTypeOf(Word typeId) {
    return FromWord<const DataTypeRecord*>(
        static_cast<Word>(RuntimeService(library_service::kDataTypeRecord, typeId, 0)));
}

Word InterfaceEntry(const DataTypeRecord* type, Word code) {
    if (!type || !type->interfaceFunction) return 0;
    return FromWord<InterfaceFn>(type->interfaceFunction)(code);
}

UnitWindow* LiveObject(const FormTemplate& form, Word index) {
    // Stored records may carry any object word; only a loaded form's words are objects.
    if (!form.loaded()) return nullptr;
    const auto record = form.Walk(index);
    if (!record || record->isMenuItem || !record->object) return nullptr;
    auto* object = FromWord<UnitWindow*>(record->object);
    return object->hwnd() && IsWindow(object->hwnd()) ? object : nullptr;
}

void SetHeadWord(FormTemplate& form, Word index, std::size_t offset, Word value) {
    const auto record = form.Walk(index);
    if (!record || record->isMenuItem) return;
    StoreWord(form.table().MutableRecord(index).data() + record->head + offset, value);
}

void SetObjectSlot(FormTemplate& form, Word index, Word object) { SetHeadWord(form, index, head::kObject, object); }

void ReplaceRecordPart(FormTemplate& form, Word index, std::size_t at, std::size_t end,
                       std::span<const std::uint8_t> bytes) {
    const auto old = form.table().Record(index);
    std::vector<std::uint8_t> record(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(at));
    record.insert(record.end(), bytes.begin(), bytes.end());
    record.insert(record.end(), old.begin() + static_cast<std::ptrdiff_t>(end), old.end());
    form.table().ReplaceRecord(index, record);
}

void UnitDestroyed(Word formId, Word unitId) {
    RuntimeApp* app = RuntimeApp::Current();
    if (!app) return;
    FormTemplate* form = app->forms().Find(formId);
    if (!form || !form->loaded()) return;
    const auto index = form->table().IndexOf(unitId);
    if (!index) return;
    DestroyUnitCursor(*form, *index);
    SetObjectSlot(*form, *index, 0);
    if (*index != 0) return;
    // The form's own window is gone, after its controls: the form is not loaded any more.
    form->DropWorkingCopy();
    if (app->waiting() && !WindowLayer().AnyFormWindow()) PostQuitMessage(0);
}

}  // namespace kx::forms
