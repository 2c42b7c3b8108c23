// libFuzzer target for the pure form-template code: any bytes as a form block, then every
// walk, lookup and relocation the runtime makes, and every property block reader. Built
// natively with sanitizers by tools/fuzz-form-block.sh.
#include <cstddef>
#include <cstdint>

#include "form_collection.h"
#include "property_blocks.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace kx::forms;
    FormCollection forms;
    if (forms.Load(data, static_cast<std::uint32_t>(size)) && forms.RelocateRoutines(0x401004)) {
        for (const auto& form : forms.forms()) {
            for (kx::Word i = 0; i < form->table().count(); ++i) {
                const auto record = form->Walk(i);
                if (!record) continue;
                form->RoutineFor(i, 0);
                form->UnitName(form->table().IdAt(i));
                WindowBlock window;
                LabelBlock label;
                ButtonBlock button;
                TimerBlock timer;
                window.Read(record->propertyBlock);
                label.Read(record->propertyBlock);
                button.Read(record->propertyBlock);
                timer.Read(record->propertyBlock);
            }
        }
    }
    return 0;
}
