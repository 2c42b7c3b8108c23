// The form-block reader over arbitrary bytes, and on what it accepts everything the runtime
// then does with the templates: relocation, the loader's plan, the record walks, unit and
// owner-chain lookups, routine lookup, the error box's unit tags, the property block
// readers, and the record rewrites a property write makes on a working copy. Nothing may
// crash or read outside the block; a form that start-up accepts must be one the loader can
// make, its unit 0 a window; a record rewritten in a working copy must still walk.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "archive.h"
#include "error_text.h"
#include "form_collection.h"
#include "kx/type_words.h"
#include "load_plan.h"
#include "mouse_pointer.h"
#include "property_blocks.h"

namespace {

using namespace kx;
using namespace kx::forms;

// Owner-chain lookups cost a walk per step; enough units for every path, not a cubic run.
constexpr Word kRoutineLookupUnits = 24;

// A pointer image must lie inside the data it was read from.
void ReadPointerImage(std::span<const std::uint8_t> data) {
    const MousePointer pointer = ReadMousePointer(data, 32);
    const std::span<const std::uint8_t> image = pointer.image.image;
    if (pointer.kind == MousePointer::Kind::kImage &&
        (image.empty() || image.data() < data.data() || image.data() + image.size() > data.data() + data.size())) {
        std::abort();
    }
}

void ReadPropertyBlocks(std::span<const std::uint8_t> block) {
    WindowBlock window;
    LabelBlock label;
    ButtonBlock button;
    TimerBlock timer;
    // A block that one reader accepts must come back the same from its writer and reader.
    if (window.Read(block)) {
        WindowBlock again;
        if (!again.Read(window.Write()) || again.Write() != window.Write()) std::abort();
    }
    if (label.Read(block)) {
        LabelBlock again;
        if (!again.Read(label.Write()) || again.Write() != label.Write()) std::abort();
    }
    button.Read(block);
    timer.Read(block);
}

// A tag write and a mouse-pointer write, as property writes make them on a loaded form.
void RewriteRecord(FormTemplate& form, Word index, const UnitRecord& record) {
    const auto old = form.table().Record(index);
    std::vector<std::uint8_t> bytes(old.begin(), old.begin() + static_cast<std::ptrdiff_t>(record.tagAt));
    const std::uint8_t tag[] = {'t', 'a', 'g', 0};
    bytes.insert(bytes.end(), std::begin(tag), std::end(tag));
    bytes.insert(bytes.end(), old.begin() + static_cast<std::ptrdiff_t>(record.tail), old.end());
    form.table().ReplaceRecord(index, bytes);

    const auto after = form.Walk(index);
    if (!after || after->tag != "tag" || after->name != record.name ||
        after->bindings.size() != record.bindings.size()) {
        std::abort();
    }
    ArchiveWriter pointer;
    pointer.Buffer({});
    const auto now = form.table().Record(index);
    std::vector<std::uint8_t> again(now.begin(), now.begin() + static_cast<std::ptrdiff_t>(after->mousePointerAt));
    again.insert(again.end(), pointer.bytes().begin(), pointer.bytes().end());
    again.insert(again.end(), now.begin() + static_cast<std::ptrdiff_t>(after->tagAt), now.end());
    form.table().ReplaceRecord(index, again);
    if (!form.Walk(index)) std::abort();
}

// The loader's checks, on what start-up accepted: the plan's first unit is the form
// window that the loader casts unit 0's object to.
std::optional<LoadPlan> PlanOfAccepted(const FormTemplate& form) {
    if (form.table().empty()) return std::nullopt;  // loads fail without touching anything
    auto plan = PlanLoad(form);
    if (!plan || plan->creationOrder.empty() || plan->creationOrder[0] != 0 ||
        form.Walk(0)->typeId != type_word::kWindowType || plan->hiddenByChildList.size() != form.table().count()) {
        std::abort();
    }
    return plan;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FormCollection forms;
    if (!forms.Load(data, static_cast<std::uint32_t>(size))) {
        if (!forms.empty()) std::abort();  // a refused block leaves nothing behind
        return 0;
    }
    if (!forms.RelocateRoutines(0x401004)) return 0;
    for (const auto& form : forms.forms()) {
        if (forms.Find(form->id) == nullptr) std::abort();
        BuildErrorReportText("", 0, static_cast<std::int32_t>(form->id), 0, forms);
        const UnitTable& table = form->table();
        form->IndexOfUnitOrOwn(0);
        for (Word i = 0; i < table.count(); ++i) {
            const Word id = table.IdAt(i);
            const auto index = table.IndexOf(id);
            if (!index || table.IdAt(*index) != id) std::abort();
            form->IndexOfUnitOrOwn(id);
            form->UnitTag(id);
            BuildErrorReportText("", 0, static_cast<std::int32_t>(form->id), static_cast<std::int32_t>(id), forms);
            const auto record = form->Walk(i);
            if (!record) continue;
            if (i < kRoutineLookupUnits) {
                form->RoutineFor(i, 0);
                for (const EventBinding& binding : record->bindings) form->RoutineFor(i, binding.eventIndex);
            }
            if (!record->isMenuItem) {
                ReadPropertyBlocks(record->propertyBlock);
                ReadPointerImage(record->mousePointer);
            }
        }

        const auto plan = PlanOfAccepted(*form);
        const std::vector<std::uint8_t> stored = form->stored().bytes();
        form->BeginWorkingCopy();
        for (Word i = 0; i < std::min(form->table().count(), kRoutineLookupUnits); ++i) {
            const auto record = form->Walk(i);
            if (record && !record->isMenuItem) RewriteRecord(*form, i, *record);
        }
        if (form->stored().bytes() != stored) std::abort();  // rewrites touch the working copy only
        // Property writes change no unit's type or place: the loader's plan stays.
        if (plan && PlanOfAccepted(*form)->creationOrder != plan->creationOrder) std::abort();
        form->DropWorkingCopy();
    }
    return 0;
}
