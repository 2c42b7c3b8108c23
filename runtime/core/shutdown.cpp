// The end routine: the clean-up always runs on the main thread, once; later runs find every
// list empty.
#include <windows.h>
#include <ole2.h>

#include <utility>
#include <vector>

#include "errors.h"
#include "hidden_owner.h"
#include "runtime_app.h"

namespace kx {

void RuntimeApp::End(std::int32_t exitCode) {
    // 1: no event routine runs from here on.
    SuppressEvents();

    // 2: another thread hands the end to the main thread and waits.
    if (mainThreadId_ != 0 && GetCurrentThreadId() != mainThreadId_) {
        // The main thread may destroy the window meanwhile; SendMessageA to a window that is
        // gone returns at once.
        const HWND owner = hiddenOwner_.load();
        if (owner && IsWindow(owner)) {
            SendMessageA(owner, kEndRequestMessage, static_cast<WPARAM>(exitCode), 0);
        }
        if (!cleanupStarted_.load()) ExitProcess(static_cast<UINT>(exitCode));
        return;
    }

    // 3-4: idle work goes first, then the program's exit routines run in order, with their
    // forms still loaded. Each list is taken out before it runs, so that a routine that ends
    // the program again finds it empty instead of running it once more; a run-time error
    // inside a routine drops the rest.
    cleanupStarted_.store(true);
    idleCallbacks_.clear();
    const std::vector<Word> routines = std::exchange(exitRoutines_, {});
    for (Word routine : routines) {
        if (exitRoutinesDropped_.load()) break;
        FromWord<void (*)()>(routine)();
    }

    // 5: libraries, in library-number order.
    const std::vector<const LibraryDescriptor*> libraries = std::exchange(libraries_, {});
    const std::vector<Word> states = std::exchange(libraryStates_, {});
    for (std::size_t i = 0; i < libraries.size(); ++i) {
        const LibraryDescriptor* library = libraries[i];
        if (library && library->notify) {
            FromWord<LibraryNotifyFn>(library->notify)(kNotifyShutdown, states[i], 0);
        }
    }

    // 6-8.
    ReleaseModules();
    ReleaseWindowsAndOle();
}

void RuntimeApp::ReleaseModules() {
    // The bindings go; the names stay for a worker that binds again while the process ends
    // (its modules are pinned, so a call already under way keeps running in mapped code).
    for (DllCommandSlot& slot : dllCommands_) {
        slot.address.store(nullptr);
        if (HMODULE module = slot.module.exchange(nullptr)) FreeLibrary(module);
    }
    for (HMODULE module : libraryModules_) FreeLibrary(module);
    libraryModules_.clear();
    // The constants range stays: the image is mapped until the process ends, and a worker
    // still running may free or resize a constant; emptied, the range would hand it to the
    // heap.
}

void RuntimeApp::ReleaseWindowsAndOle() {
    for (HICON& icon : defaultIcons_) {
        if (icon) DestroyIcon(icon);
        icon = nullptr;
    }
    defaultIconsLoaded_ = false;
    const HWND owner = hiddenOwner_.exchange(nullptr);
    if (owner && IsWindow(owner)) DestroyWindow(owner);
    // 8: the forms' windows go (those the hidden owner owned went with it), then the
    // templates. Nothing in this runtime keeps further objects, starts Windows Sockets or
    // registers component servers; OLE is the last to go.
    formLayer_->Release();
    forms_.Clear();
    if (oleInitialized_) {
        OleUninitialize();
        oleInitialized_ = false;
    }
}

void RuntimeApp::EndAndExit(std::int32_t exitCode) {
    End(exitCode);
    // Back on a thread other than the main one means the main thread is already cleaning
    // up: only this thread ends, so that the clean-up finishes.
    if (mainThreadId_ != 0 && GetCurrentThreadId() != mainThreadId_ && cleanupStarted_.load()) {
        ExitThread(static_cast<DWORD>(exitCode));
    }
    ExitProcess(static_cast<UINT>(ProcessExitCode(exitCode)));
}

std::int32_t RuntimeApp::ProcessExitCode(std::int32_t requested) const {
    // A worker whose run-time error met the clean-up under way ended only itself; the
    // process still ends as every run-time error does.
    return exitRoutinesDropped_.load() ? kRuntimeErrorExitCode : requested;
}

}  // namespace kx
