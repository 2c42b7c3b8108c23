// The loaded form block: FormCollection holds one FormTemplate per stored form, each with
// its stored UnitTable, a working copy while its window exists, and the event routines
// relocated once at start-up, kept apart from the stored offsets. Owned by RuntimeApp;
// filled on the main thread at start-up, read by the form layer and the error report.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "unit_record.h"
#include "unit_table.h"

namespace kx::forms {

// A relocated binding: the routine's address, or 0 for none.
struct RoutineBinding {
    std::int32_t eventIndex;
    Word routine;
};

// The relocation rule for one stored routine word.
constexpr Word RelocateRoutineOffset(Word codeBase, Word offset) {
    return offset == kNoRoutineOffset ? 0 : codeBase + offset;
}

class FormTemplate {
public:
    Word id = 0;
    Word wordA = 0;
    Word wordB = 0;
    std::string textA;
    std::string textB;

    // The table that describes the form now: the working copy while the form is loaded,
    // else the stored one.
    const UnitTable& table() const { return working_.empty() ? stored_ : working_; }
    UnitTable& table() { return working_.empty() ? stored_ : working_; }
    const UnitTable& stored() const { return stored_; }
    bool loaded() const { return !working_.empty(); }
    void BeginWorkingCopy() { working_ = stored_; }
    void DropWorkingCopy() { working_ = UnitTable(); }

    // The walk of unit `index` of the current table.
    std::optional<UnitRecord> Walk(Word index) const;
    // The index of `unitId`, or of the form's own unit for 0.
    std::optional<Word> IndexOfUnitOrOwn(Word unitId) const;
    // The unit's tag text (property 4), by which the error box names forms and units;
    // nothing when the unit is not there.
    std::optional<std::string> UnitTag(Word unitId) const;

    // The routine bound to event `eventIndex` of unit `index`, following the event-owner
    // chain; 0 for none.
    Word RoutineFor(Word index, std::int32_t eventIndex) const;

    void SetStoredTable(UnitTable table) { stored_ = std::move(table); }
    // Relocates every binding of the stored table; false when a record cannot be walked.
    bool Relocate(Word codeBase);

private:
    UnitTable stored_;
    UnitTable working_;
    std::vector<std::vector<RoutineBinding>> routines_;  // by unit index, after relocation
    std::vector<Word> menuRoutines_;                     // by unit index; 0 for other units
};

class FormCollection {
public:
    // Reads a serialised form block; false when it ends early, a count runs past its end or
    // a form's first unit is no window (the collection is then left empty).
    bool Load(const std::uint8_t* block, std::uint32_t size);
    // Relocates every form's routines once; later calls change nothing. False when a
    // record cannot be walked.
    bool RelocateRoutines(Word codeBase);
    void Clear() { forms_.clear(); }

    bool empty() const { return forms_.empty(); }
    FormTemplate* Find(Word formId) const;
    const std::vector<std::unique_ptr<FormTemplate>>& forms() const { return forms_; }

private:
    std::vector<std::unique_ptr<FormTemplate>> forms_;
    bool relocated_ = false;
};

}  // namespace kx::forms
