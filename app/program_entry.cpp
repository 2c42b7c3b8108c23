// The program's entry routine: the runtime calls it once its application object exists.
#include "event_routines.h"
#include "kx/program_calls.h"
#include "kx/program_binding.h"

namespace clock_app {

namespace {

using kx::ServiceNumber;
using kx::program::Service;

// The program's global clean-up: nothing to release.
void ProgramExitRoutine() {}

// The program's start routine: nothing to prepare.
int ProgramStartRoutine() { return 0; }

}  // namespace

int ProgramEntry() {
    Service(ServiceNumber::kInitRuntime);
    Service(ServiceNumber::kAddExitRoutine, kx::ToWord(&ProgramExitRoutine));
    ProgramStartRoutine();
    BindEventRoutines();
    kx::program::Entry<kx::EntrySlot::kLoadStartForm>()(kx::image::kStartFormId);
    kx::program::Entry<kx::EntrySlot::kRunUntilWindowsClosed>()();
    return 0;
}

}  // namespace clock_app

int kx::program_binding::Entry() { return clock_app::ProgramEntry(); }
