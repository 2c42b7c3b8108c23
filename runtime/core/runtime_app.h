// RuntimeApp: the runtime's one application object and the holder of all runtime state.
// Start-up, the message loop and shutdown run on the main thread; the entries reach the
// current instance through RuntimeApp::Current() from any thread. No lock guards it: the
// only cross-thread path is the end request handed to the main thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "form_collection.h"
#include "form_layer.h"
#include "framework.h"
#include "kx/entry_table.h"
#include "kx/image_format.h"
#include "support_modules.h"

namespace kx {

// The program's entry routine, called by the start hook.
using ProgramEntryFn = int (*)();

// One DLL command. The names are fixed at start-up and stay readable until the application
// object is gone, so a worker may still bind while the main thread cleans up; the binding is
// made by whichever thread calls first (a race binds twice, and both store the same address).
struct DllCommandSlot {
    std::string libraryName;
    std::string entryName;
    std::atomic<HMODULE> module{nullptr};
    std::atomic<DllFunction> address{nullptr};
};

// Routines of program code that take arguments remove them themselves.
using IdleRoutine = void(__stdcall*)(Word argument);

struct IdleCallback {
    HWND window;
    Word routine;  // an IdleRoutine
    Word argument;

    bool operator==(const IdleCallback&) const = default;
};

class RuntimeApp final : public AppFramework {
public:
    // Binds the application object to a program image, its entry routine and the form
    // layer (null: a runtime without forms) and makes it the current instance. The
    // destructor runs the end routine.
    RuntimeApp(const ProgramImageHeader* image, ProgramEntryFn programEntry,
               FormLayer* formLayer = nullptr);
    ~RuntimeApp() override;
    RuntimeApp(const RuntimeApp&) = delete;
    RuntimeApp& operator=(const RuntimeApp&) = delete;

    static RuntimeApp* Current();

    // Runtime initialisation (service 6).
    void InitRuntime();
    // The end routine; safe to run more than once.
    void End(std::int32_t exitCode);
    // The end routine, then the end of the process (or, on another thread while the main
    // thread is already cleaning up, of that thread only).
    [[noreturn]] void EndAndExit(std::int32_t exitCode);
    // The message loop that runs while a form window exists: sets the waiting flag, then
    // runs the framework's loop (with the idle callbacks) unless no form window is alive.
    void RunUntilWindowsClosed();

    // Exit routines (service 3), without duplicates.
    void AddExitRoutine(Word routine);
    // After a run-time error the exit routines are not run (from any thread).
    void DropExitRoutines() { exitRoutinesDropped_.store(true); }

    void AddIdleCallback(HWND window, Word routine, Word argument);
    void RemoveIdleCallback(HWND window, Word routine);

    void SuppressEvents() { ++eventSuppression_; }
    void AllowEvents();
    bool EventsSuppressed() const { return eventSuppression_.load() > 0; }

    HANDLE heap() const { return heap_ ? heap_ : GetProcessHeap(); }
    // Whether an address lies in the constants block, and how many bytes of it remain from
    // that address to the end of the block.
    bool IsConstant(const void* address) const;
    std::size_t ConstantBytesFrom(const void* address) const;

    const ProgramImageHeader& image() const { return *image_; }
    Word buildKind() const { return buildKind_; }
    Word imageWord1() const { return imageWord1_; }
    Word imageWord2() const { return imageWord2_; }
    const std::string& programDirectory() const { return programDirectory_; }
    const std::string& programFileName() const { return programFileName_; }
    const std::string& moduleDirectory() const { return moduleDirectory_; }
    const std::string& extraDllDirectory() const { return extraDllDirectory_; }
    DWORD mainThreadId() const { return mainThreadId_; }
    HWND hiddenOwner() const { return hiddenOwner_.load(); }
    bool oleInitialized() const { return oleInitialized_; }
    bool cleanupStarted() const { return cleanupStarted_.load(); }
    bool waiting() const { return waiting_; }
    const std::vector<Word>& exitRoutines() const { return exitRoutines_; }
    const std::vector<IdleCallback>& idleCallbacks() const { return idleCallbacks_; }
    const std::vector<const LibraryDescriptor*>& libraries() const { return libraries_; }
    // DLL command `number`, or null when the image declares no such command.
    DllCommandSlot* dllCommand(std::uint32_t number) {
        return number < dllCommands_.size() ? &dllCommands_[number] : nullptr;
    }
    forms::FormCollection& forms() { return forms_; }
    const forms::FormCollection& forms() const { return forms_; }
    FormLayer& formLayer() { return *formLayer_; }
    const SupportModuleSlot& supportModule(int index) const { return supportModules_[index]; }

    // Default window icons (library service 1000), loaded once.
    void LoadDefaultIcons(HICON icons[2]);
    // Modules that libraries loaded through the runtime; freed at shutdown.
    void AdoptLibraryModule(HMODULE module) { libraryModules_.push_back(module); }

    // Lets the framework's message pump retrieve and dispatch messages while any is waiting,
    // stopping short of the quit message.
    void ProcessPendingMessages();

protected:
    int InitInstance() override;
    int ExitInstance() override;
    // The idle callbacks, then the framework's own idle work.
    bool OnIdle(long idleCount) override;

private:
    void RecordProgramPath();
    void BindSupportModules();
    void CreateHiddenOwner();
    void CreateDllTables();
    void NotifyLibrariesOfStartup();
    void LoadForms();
    void RunIdleCallbacks();
    void ReleaseModules();
    void ReleaseWindowsAndOle();
    // The exit code the process ends with: -1 once a run-time error was reported on any
    // thread, otherwise `requested`.
    std::int32_t ProcessExitCode(std::int32_t requested) const;

    const ProgramImageHeader* image_;
    ProgramEntryFn programEntry_;

    HANDLE heap_ = nullptr;
    Word buildKind_ = 0;
    Word imageWord1_ = 0;
    Word imageWord2_ = 0;
    std::string programDirectory_;
    std::string programFileName_;
    std::string moduleDirectory_;
    std::string extraDllDirectory_;
    DWORD mainThreadId_ = 0;
    // Set once at start-up and kept to the end: the image outlives every thread.
    const std::uint8_t* constantsStart_ = nullptr;
    const std::uint8_t* constantsEnd_ = nullptr;
    std::vector<DllCommandSlot> dllCommands_;
    std::vector<const LibraryDescriptor*> libraries_;
    std::vector<Word> libraryStates_;
    std::vector<HMODULE> libraryModules_;
    forms::FormCollection forms_;
    FormLayer* formLayer_;
    // Read by a worker that hands the end to the main thread while the main thread may be
    // destroying the window.
    std::atomic<HWND> hiddenOwner_{nullptr};
    HICON defaultIcons_[2] = {nullptr, nullptr};
    bool defaultIconsLoaded_ = false;
    bool oleInitialized_ = false;
    std::atomic<int> eventSuppression_{0};
    std::vector<Word> exitRoutines_;
    std::atomic<bool> exitRoutinesDropped_{false};
    std::vector<IdleCallback> idleCallbacks_;
    bool waiting_ = false;
    std::atomic<bool> cleanupStarted_{false};
    SupportModuleSlot supportModules_[kSupportModuleSlotCount];
};

}  // namespace kx
