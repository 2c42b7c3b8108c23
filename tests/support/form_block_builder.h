// Form blocks for tests, written at run time in the stored format: forms of units with the
// fields a test cares about, everything else as the application's form stores it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "archive.h"
#include "unit_record.h"

namespace kx::testing {

struct TestUnit {
    Word id;
    Word typeId;
    std::string name;
    std::vector<forms::EventBinding> bindings{};
    std::vector<std::uint8_t> propertyBlock{};
    Word flags = forms::kUnitVisible;
    Word eventOwnerId = 0;
    std::int32_t left = 0, top = 0, width = 40, height = 20;
    std::string tag{};
    Word parentId = 0;
    std::vector<Word> children{};
    Word object = 0;  // as stored: meaningless
    std::vector<std::uint8_t> mousePointer{0, 0, 0, 0};  // the default pointer
};

inline std::vector<std::uint8_t> UnitRecordBytes(const TestUnit& unit) {
    forms::ArchiveWriter out;
    out.Word32(unit.typeId);
    out.Word32(unit.eventOwnerId);
    for (int i = 0; i < 4; ++i) out.Word32(0);
    const auto zeroTerminated = [&out](const std::string& text) {
        out.Raw({reinterpret_cast<const std::uint8_t*>(text.c_str()), text.size() + 1});
    };
    zeroTerminated(unit.name);
    zeroTerminated("");
    if (forms::IsMenuItemId(unit.id)) {
        out.Word32(0), out.Word32(0), out.Word32(0);
        zeroTerminated(unit.name);
        out.Word32(unit.bindings.empty() ? forms::kNoRoutineOffset : unit.bindings[0].routineOffset);
        return out.Take();
    }
    out.Word32(unit.object);
    for (std::int32_t v : {unit.left, unit.top, unit.width, unit.height}) out.Word32(static_cast<Word>(v));
    out.Word32(0);
    out.Word32(unit.parentId);
    out.Word32(static_cast<Word>(unit.children.size()));
    for (Word child : unit.children) out.Word32(child);
    out.Buffer(unit.mousePointer);
    zeroTerminated(unit.tag);
    out.Word32(0);
    out.Word32(unit.flags);
    out.Word32(0);
    out.Word32(static_cast<Word>(unit.bindings.size()));
    for (const auto& binding : unit.bindings) {
        out.Word32(static_cast<Word>(binding.eventIndex));
        out.Word32(binding.routineOffset);
    }
    for (int i = 0; i < 5; ++i) out.Word32(0);
    out.Raw(unit.propertyBlock);
    return out.Take();
}

inline std::vector<std::uint8_t> UnitTableBytes(const std::vector<TestUnit>& units) {
    forms::ArchiveWriter out;
    for (const TestUnit& unit : units) out.Word32(unit.id);
    Word offset = 0;
    std::vector<std::vector<std::uint8_t>> records;
    for (const TestUnit& unit : units) {
        records.push_back(UnitRecordBytes(unit));
        out.Word32(offset);
        offset += 4 + static_cast<Word>(records.back().size());
    }
    for (const auto& record : records) out.Buffer(record);
    return out.Take();
}

struct TestForm {
    Word id;
    std::vector<TestUnit> units;
    std::string name;
};

inline std::vector<std::uint8_t> FormBlockBytes(const std::vector<TestForm>& forms) {
    forms::ArchiveWriter out;
    out.Word32(static_cast<Word>(8 * forms.size()));
    for (const TestForm& form : forms) out.Word32(form.id);
    for (std::size_t i = 0; i < forms.size(); ++i) out.Word32(0xDEADBEEF);  // stale slots
    for (const TestForm& form : forms) {
        out.Word32(0x0266DF18), out.Word32(0x19010005);
        out.CountedText(form.name), out.CountedText("");
        out.Word32(static_cast<Word>(form.units.size()));
        out.Buffer(UnitTableBytes(form.units));
    }
    return out.Take();
}

}  // namespace kx::testing
