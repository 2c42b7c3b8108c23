// What the loader reads from a form's units before it makes any window: the units that get
// one, in creation order, and the units that start hidden. A form the loader could not make
// soundly (no units, a record that does not walk, a first unit that is no window) has no
// plan. Pure logic; any thread.
#pragma once

#include <optional>
#include <vector>

#include "form_collection.h"

namespace kx::forms {

struct LoadPlan {
    // The form's own unit first, then the controls from the last stored to the first; menu
    // items get no window.
    std::vector<Word> creationOrder;
    // By unit index: listed after the first 0 word of a container's child list (the form's
    // own list included), so the unit starts hidden whatever its visible flag says.
    std::vector<bool> hiddenByChildList;
};

// The loader casts the object made for unit 0 to a form window: that unit must be one.
bool FirstUnitIsWindow(const FormTemplate& form);

std::optional<LoadPlan> PlanLoad(const FormTemplate& form);

}  // namespace kx::forms
