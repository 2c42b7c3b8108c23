// The process entry of a program: the C runtime constructs the one RuntimeApp (and registers
// its destructor, which runs the end routine once more at exit), then WinMain runs the
// framework's main routine.
#include <windows.h>

#include "kx/program_binding.h"
#include "runtime_app.h"

namespace {
kx::RuntimeApp g_runtimeApp(&kx::program_binding::Image(), &kx::program_binding::Entry);
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const int exitCode = g_runtimeApp.Main();
    // A worker may still be running (inside a network request, say). Ending the process here
    // ends it before the C runtime destroys static objects that it may still be using.
    ExitProcess(static_cast<UINT>(exitCode));
}
