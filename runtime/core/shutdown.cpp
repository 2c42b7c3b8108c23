// The end routine: the clean-up always runs on the main thread, once; later runs find every
// list empty.
#include <windows.h>
#include <ole2.h>

#include "hidden_owner.h"
#include "runtime_app.h"

namespace kx {

void RuntimeApp::End(std::int32_t exitCode) {
    // 1: no event routine runs from here on.
    SuppressEvents();

    // 2: another thread hands the end to the main thread and waits.
    if (mainThreadId_ != 0 && GetCurrentThreadId() != mainThreadId_) {
        if (hiddenOwner_ && IsWindow(hiddenOwner_)) {
            SendMessageA(hiddenOwner_, kEndRequestMessage, static_cast<WPARAM>(exitCode), 0);
        }
        if (!cleanupStarted_.load()) ExitProcess(static_cast<UINT>(exitCode));
        return;
    }

    // 3-4: forms and idle work go first, then the program's exit routines in order. A
    // routine may drop the list (a run-time error), so it is re-read on every step.
    cleanupStarted_.store(true);
    idleCallbacks_.clear();
    forms_.Clear();
    for (std::size_t i = 0; i < exitRoutines_.size(); ++i) {
        FromWord<void (*)()>(exitRoutines_[i])();
    }
    exitRoutines_.clear();

    // 5: libraries, in library-number order.
    for (std::size_t i = 0; i < libraries_.size(); ++i) {
        const LibraryDescriptor* library = libraries_[i];
        if (library && library->notify) {
            FromWord<LibraryNotifyFn>(library->notify)(kNotifyShutdown, libraryStates_[i], 0);
        }
    }
    libraries_.clear();
    libraryStates_.clear();

    // 6-8.
    ReleaseModules();
    ReleaseWindowsAndOle();
}

void RuntimeApp::ReleaseModules() {
    for (DllCommandSlot& slot : dllCommands_) {
        if (slot.module) FreeLibrary(slot.module);
    }
    dllCommands_.clear();
    for (HMODULE module : libraryModules_) FreeLibrary(module);
    libraryModules_.clear();
    extraDllDirectory_.clear();
    constantsStart_ = nullptr;
    constantsEnd_ = nullptr;
}

void RuntimeApp::ReleaseWindowsAndOle() {
    for (HICON& icon : defaultIcons_) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    defaultIconsLoaded_ = false;
    if (hiddenOwner_ && IsWindow(hiddenOwner_)) DestroyWindow(hiddenOwner_);
    hiddenOwner_ = nullptr;
    // Nothing in this runtime keeps further objects, starts Windows Sockets or registers
    // component servers; OLE is the last to go.
    if (oleInitialized_) {
        OleUninitialize();
        oleInitialized_ = false;
    }
}

}  // namespace kx
