// The loaded form templates of the program image. Owned by RuntimeApp; filled at start-up
// on the main thread, read by event dispatch, property access and the error report.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kx/word.h"

namespace kx {

inline constexpr Word kNoRoutineOffset = 0xFFFFFFFF;

struct UnitRecord {
    Word id = 0;
    std::string tag;
    std::vector<Word> eventRoutines;  // offsets from codeBase until relocated, then addresses
};

struct FormTemplate {
    Word id = 0;
    std::string tag;
    std::vector<UnitRecord> units;  // the form's own window unit first

    const UnitRecord* FindUnit(Word unitId) const;
    // The unit `unitId`, or the form's own unit for 0.
    const UnitRecord* UnitOrOwn(Word unitId) const;
};

class FormCollection {
public:
    // Reads a serialised form block; false when it cannot be read (the collection is then
    // left empty).
    bool Load(const std::uint8_t* block, std::uint32_t size);
    // Turns every stored routine offset into codeBase + offset; "no routine" becomes 0.
    void RelocateRoutines(Word codeBase);
    void Clear() { forms_.clear(); }
    void Add(std::unique_ptr<FormTemplate> form) { forms_.push_back(std::move(form)); }

    bool empty() const { return forms_.empty(); }
    const FormTemplate* Find(Word formId) const;
    // True when any loaded form has a live window.
    bool AnyWindowAlive() const;

private:
    std::vector<std::unique_ptr<FormTemplate>> forms_;
};

// The relocation rule for one stored routine word.
constexpr Word RelocateRoutineOffset(Word codeBase, Word offset) {
    return offset == kNoRoutineOffset ? 0 : codeBase + offset;
}

}  // namespace kx
