// The program's entry routine: the runtime calls it once its application object exists.
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
    // The start form (kx::image::kStartFormId) is loaded here once the image carries its
    // form block; without a form the message loop below returns at once.
    kx::program::Entry<kx::EntrySlot::kRunUntilWindowsClosed>()();
    return 0;
}

}  // namespace clock_app

int kx::program_binding::Entry() { return clock_app::ProgramEntry(); }
