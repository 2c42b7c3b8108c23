#include "form_collection.h"

#include "archive.h"
#include "load_plan.h"

namespace kx::forms {

std::optional<UnitRecord> FormTemplate::Walk(Word index) const {
    const UnitTable& units = table();
    if (index >= units.count()) return std::nullopt;
    return WalkUnitRecord(units.IdAt(index), units.Record(index));
}

std::optional<Word> FormTemplate::IndexOfUnitOrOwn(Word unitId) const {
    if (unitId == 0) return table().empty() ? std::nullopt : std::optional<Word>(0);
    return table().IndexOf(unitId);
}

std::optional<std::string> FormTemplate::UnitTag(Word unitId) const {
    const auto index = IndexOfUnitOrOwn(unitId);
    if (!index) return std::nullopt;
    const auto record = Walk(*index);
    if (!record) return std::nullopt;
    return record->tag;
}

Word FormTemplate::RoutineFor(Word index, std::int32_t eventIndex) const {
    auto record = Walk(index);
    if (!record) return 0;
    // The chain is bounded by the unit count, so a loop of owners cannot hang.
    for (Word steps = 0; record->eventOwnerId != 0 && steps < table().count(); ++steps) {
        const auto owner = table().IndexOf(record->eventOwnerId);
        if (!owner) break;
        auto ownerRecord = Walk(*owner);
        if (!ownerRecord || ownerRecord->typeId != record->typeId) break;
        index = *owner;
        record = std::move(ownerRecord);
    }
    if (index >= routines_.size()) return 0;
    if (record->isMenuItem) return menuRoutines_[index];
    for (const RoutineBinding& binding : routines_[index]) {
        if (binding.eventIndex == eventIndex) return binding.routine;
    }
    return 0;
}

bool FormTemplate::Relocate(Word codeBase) {
    std::vector<std::vector<RoutineBinding>> routines(stored_.count());
    std::vector<Word> menuRoutines(stored_.count(), 0);
    for (Word i = 0; i < stored_.count(); ++i) {
        const auto record = WalkUnitRecord(stored_.IdAt(i), stored_.Record(i));
        if (!record) return false;
        if (record->isMenuItem) {
            menuRoutines[i] = RelocateRoutineOffset(codeBase, record->menuRoutineOffset);
            continue;
        }
        for (const EventBinding& binding : record->bindings) {
            routines[i].push_back({binding.eventIndex, RelocateRoutineOffset(codeBase, binding.routineOffset)});
        }
    }
    routines_ = std::move(routines);
    menuRoutines_ = std::move(menuRoutines);
    return true;
}

bool FormCollection::Load(const std::uint8_t* block, std::uint32_t size) {
    forms_.clear();
    relocated_ = false;
    ArchiveReader reader(block, size);
    Word listLength;
    std::span<const std::uint8_t> list;
    if (!reader.ReadWord(listLength) || !reader.ReadBytes(listLength, list)) return false;
    const Word count = listLength / 8;

    std::vector<std::unique_ptr<FormTemplate>> forms;
    for (Word i = 0; i < count; ++i) {
        auto form = std::make_unique<FormTemplate>();
        form->id = LoadWord(list.data() + 4 * std::size_t{i});
        Word unitCount;
        std::vector<std::uint8_t> tableBytes;
        if (!reader.ReadWord(form->wordA) || !reader.ReadWord(form->wordB) ||
            !reader.ReadCountedText(form->textA) || !reader.ReadCountedText(form->textB) ||
            !reader.ReadWord(unitCount) || !reader.ReadBuffer(tableBytes)) {
            return false;
        }
        auto table = UnitTable::FromBytes(unitCount, std::move(tableBytes));
        if (!table) return false;
        form->SetStoredTable(std::move(*table));
        if (!form->table().empty() && !FirstUnitIsWindow(*form)) return false;
        forms.push_back(std::move(form));
    }
    forms_ = std::move(forms);
    return true;
}

bool FormCollection::RelocateRoutines(Word codeBase) {
    if (relocated_) return true;
    relocated_ = true;
    for (const auto& form : forms_) {
        if (!form->Relocate(codeBase)) return false;
    }
    return true;
}

FormTemplate* FormCollection::Find(Word formId) const {
    for (const auto& form : forms_) {
        if (form->id == formId) return form.get();
    }
    return nullptr;
}

}  // namespace kx::forms
