#include "load_plan.h"

#include "kx/type_words.h"

namespace kx::forms {

bool FirstUnitIsWindow(const FormTemplate& form) {
    const auto own = form.Walk(0);
    return own && !own->isMenuItem && own->typeId == type_word::kWindowType;
}

std::optional<LoadPlan> PlanLoad(const FormTemplate& form) {
    const Word count = form.table().count();
    if (count == 0 || !FirstUnitIsWindow(form)) return std::nullopt;
    LoadPlan plan;
    plan.hiddenByChildList.assign(count, false);
    for (Word step = 0; step < count; ++step) {
        const Word index = step == 0 ? 0 : count - step;
        const auto record = form.Walk(index);
        if (!record) return std::nullopt;
        if (record->isMenuItem) continue;
        plan.creationOrder.push_back(index);
        bool afterSeparator = false;
        for (Word child : record->children) {
            if (child == 0) {
                afterSeparator = true;
            } else if (afterSeparator) {
                if (const auto childIndex = form.table().IndexOf(child)) plan.hiddenByChildList[*childIndex] = true;
            }
        }
    }
    return plan;
}

}  // namespace kx::forms
