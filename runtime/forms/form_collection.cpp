#include "form_collection.h"

namespace kx {

const UnitRecord* FormTemplate::FindUnit(Word unitId) const {
    for (const UnitRecord& unit : units) {
        if (unit.id == unitId) return &unit;
    }
    return nullptr;
}

const UnitRecord* FormTemplate::UnitOrOwn(Word unitId) const {
    if (unitId == 0) return units.empty() ? nullptr : &units.front();
    return FindUnit(unitId);
}

bool FormCollection::Load(const std::uint8_t* /*block*/, std::uint32_t size) {
    forms_.clear();
    // No serialised form format is understood yet: only the empty block reads successfully,
    // and the caller reports any other as unreadable.
    return size == 0;
}

void FormCollection::RelocateRoutines(Word codeBase) {
    for (auto& form : forms_) {
        for (UnitRecord& unit : form->units) {
            for (Word& routine : unit.eventRoutines) routine = RelocateRoutineOffset(codeBase, routine);
        }
    }
}

const FormTemplate* FormCollection::Find(Word formId) const {
    for (const auto& form : forms_) {
        if (form->id == formId) return form.get();
    }
    return nullptr;
}

bool FormCollection::AnyWindowAlive() const {
    // Windows of forms arrive with the form window layer; until then no form has one.
    return false;
}

}  // namespace kx
