#include "main_form.h"

#include "kx/program_calls.h"

namespace clock_app {

namespace {

constexpr std::int32_t kTextOrInterval = 8;
constexpr std::int32_t kNotAnElement = -1;

void WriteProperty(kx::Word unit, kx::Word value) {
    kx::program::Entry<kx::EntrySlot::kWriteProperty>()(kMainFormId, unit, kTextOrInterval,
                                                        kNotAnElement, value, 0);
}

}  // namespace

void WriteLabelText(kx::Word label, const char* text) { WriteProperty(label, kx::ToWord(text)); }

void WriteTimerInterval(std::int32_t milliseconds) {
    WriteProperty(kTimerUnit, static_cast<kx::Word>(milliseconds));
}

}  // namespace clock_app
