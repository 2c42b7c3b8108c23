#include "data_types.h"

#include "button/button.h"
#include "label/label.h"
#include "timer/timer.h"
#include "window/form_window.h"

namespace kx::forms {

// Properties 0-7 of every unit: left, top, width, height, tag, visible, disabled, pointer.
#define KX_COMMON_PROPERTIES 1001, 1001, 1001, 1001, 1005, 1003, 1003, 1011

const Word kWindowPropertyTypes[kWindowPropertyCount] = {
    KX_COMMON_PROPERTIES,
    1005, 1006, 1017, 1009, 1006, 1012, 1006, 1003,  // 8-15
    1003, 1003, 1006, 1003, 1010, 1003, 1003, 1003,  // 16-23
    1016, 1001, 1003, 1003, 1006, 1003, 1003, 1005,  // 24-31
};
const Word kLabelPropertyTypes[kLabelPropertyCount] = {
    KX_COMMON_PROPERTIES,
    1005, 1006, 1006, 1001, 1015, 1015, 1015, 1013,  // 8-15
    1014, 1017, 1009, 1006, 1006, 1015, 1015, 1015,  // 16-23
    1006, 1003, 1006, 1018, 1020,                    // 24-28
};
const Word kButtonPropertyTypes[kButtonPropertyCount] = {
    KX_COMMON_PROPERTIES,
    1009, 1006, 1005, 1006, 1006, 1013,  // 8-13
};
const Word kTimerPropertyTypes[kTimerPropertyCount] = {
    KX_COMMON_PROPERTIES,
    1001,  // 8: interval
};

#undef KX_COMMON_PROPERTIES

Word WindowInterface(Word code) { return FormWindow::Interface(code); }
Word LabelInterface(Word code) { return Label::Interface(code); }
Word ButtonInterface(Word code) { return Button::Interface(code); }
Word TimerInterface(Word code) { return Timer::Interface(code); }

Word PropertyTypeCode(Word propertyTable, Word propertyCount, std::int32_t property) {
    const auto* table = FromWord<const Word*>(propertyTable);
    if (!table || property < 0 || static_cast<Word>(property) >= propertyCount) return 0;
    return table[property];
}

}  // namespace kx::forms
