// Event dispatch: the routine bound to (form, unit, event) in the form template, found
// through the event-owner chain and called with the argument words. Runs on the thread that
// raised the event; the current event is that thread's.
#include <atomic>

#include "error_text.h"
#include "errors.h"
#include "kx/program_routine.h"
#include "runtime_app.h"
#include "window_layer.h"

namespace kx::forms {

namespace {

constexpr Word kEventCapableFlags = 0x44;

thread_local CurrentEvent t_current;

}  // namespace

CurrentEvent CurrentEventOf() { return t_current; }

bool DispatchEvent(FormLayer::EventCall& call) {
    RuntimeApp& app = *RuntimeApp::Current();
    // 1.
    if (app.EventsSuppressed()) return false;
    // 2.
    const FormTemplate* form = app.forms().Find(call.formId);
    if (!form) {
        ReportRuntimeError(fixed_error::kEventFormMissing, 0, static_cast<std::int32_t>(call.formId), 0);
    }
    // 3.
    const auto index = form->IndexOfUnitOrOwn(call.unitId);
    const auto record = index ? form->Walk(*index) : std::nullopt;
    if (!record) {
        ReportRuntimeError(fixed_error::kEventUnitMissing, 0, static_cast<std::int32_t>(call.formId),
                           static_cast<std::int32_t>(call.unitId));
    }
    // 4-5.
    const Word routine = form->RoutineFor(*index, call.eventIndex);
    const DataTypeRecord* type = DataTypeOf(record->typeId);
    if (!type || (type->typeFlags & kEventCapableFlags) == 0) {
        ReportRuntimeError(fixed_error::kEventUnitInvalid, 0, static_cast<std::int32_t>(call.formId),
                           static_cast<std::int32_t>(call.unitId));
    }
    // 6.
    if (!routine) return false;
    // 7.
    const CurrentEvent outer = t_current;
    t_current = {call.formId, call.unitId ? call.unitId : form->table().IdAt(0)};
    RoutineResult result;
    FromWord<ProgramRoutineFn>(routine)(call.arguments.data(), static_cast<Word>(call.arguments.size()), &result);
    t_current = outer;
    t_current.formId = 0;
    if (result.hasValue) {
        call.hasResult = true;
        call.resultLow = result.low;
        call.resultHigh = result.high;
    }
    return true;
}

}  // namespace kx::forms
