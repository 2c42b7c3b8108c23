// A program for the process tests: it starts on the real process entry with an image of its
// own and acts out the scenario named by its last command-line word, writing what it sees to
// the file named by KX_PROBE_LOG. Message boxes are recorded there too, except in the
// scenario that wants the real one.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>

#include "probe_log.h"
#include "entries.h"
#include "event_arguments.h"
#include "form_block_builder.h"
#include "kx/program_image.h"
#include "property_blocks.h"
#include "kx/program_binding.h"
#include "message_box.h"
#include "runtime_app.h"
#include "test_image.h"
#include "thread_library.h"

namespace {

using namespace kx;

std::string g_scenario;
DWORD g_mainThread = 0;

using kx::probe::Log;

const char* ThreadName() { return GetCurrentThreadId() == g_mainThread ? "main" : "worker"; }

// Which of the system libraries that DLL commands without a library name search are loaded.
std::string LoadedSystemLibraries() {
    std::string loaded;
    for (const char* name : {"mpr.dll", "shell32.dll", "advapi32.dll"}) {
        loaded += std::string(" ") + name + "=" + (GetModuleHandleA(name) ? "1" : "0");
    }
    return loaded;
}

class LoggingMessageBoxes final : public MessageBoxSeam {
public:
    int Show(const MessageBoxRequest& request) override {
        if (g_scenario == "dll-missing-export") Log("loaded when the box shows:" + LoadedSystemLibraries());
        std::string text;
        for (char c : request.text) {
            if (c == '\r') text += "\\r";
            else if (c == '\n') text += "\\n";
            else text += c;
        }
        Log("box on " + std::string(ThreadName()) + " caption=" + request.caption +
            " style=" + std::to_string(request.style) + " text=" + text);
        return IDOK;
    }
};
LoggingMessageBoxes g_boxes;

std::int32_t RecordingNotify(std::int32_t code, Word, Word) {
    Log("notify " + std::to_string(code) + " on " + ThreadName());
    return 0;
}

DWORD WINAPI WorkerRaises(void*);

// Runs during the main thread's clean-up: a worker raises an error while the main thread
// waits for it, letting sent messages through.
void RaiseOnAWorkerAndWait() {
    const HANDLE worker = CreateThread(nullptr, 0, WorkerRaises, nullptr, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    CloseHandle(worker);
}

void ExitRoutineA() {
    if (g_scenario == "worker-error-while-ending") RaiseOnAWorkerAndWait();
    if (g_scenario == "exit-routine-ends-7") {
        Log("exit A ends the program");
        RtEndProgram(7);
    }
    Log(std::string("exit A on ") + ThreadName());
}
void ExitRoutineB() {
    if (g_scenario != "exit-routine-ends-7") Log(std::string("exit B on ") + ThreadName());
}

const Word kThreadCommands[] = {ToWord(&threads::StartThread)};
const LibraryDescriptor kRecordingLibrary =
    testing::MakeLibraryDescriptor(nullptr, 0, ToWord(&RecordingNotify));
const LibraryDescriptor kThreadLibrary =
    testing::MakeLibraryDescriptor(kThreadCommands, 1, ToWord(&threads::ThreadLibraryNotify));

std::string ProgramDirectory() {
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string full(path, length);
    return full.substr(0, full.rfind('\\') + 1);
}

// A copy of the tests' own DLL that only this process binds, under a path with a drive.
const std::string& CopiedDllPath() {
    static const std::string path = [] {
        char directory[MAX_PATH];
        GetTempPathA(MAX_PATH, directory);
        // Process ids come back soon under Wine: the tick count keeps the name unique.
        return std::string(directory) + "kx_probe_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount64()) + ".dll";
    }();
    return path;
}

// Copies that earlier probes could not delete while they had them loaded.
void DeleteEarlierCopies() {
    char directory[MAX_PATH];
    GetTempPathA(MAX_PATH, directory);
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA((std::string(directory) + "kx_probe_*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileA((std::string(directory) + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

// The tests' own DLL, copied to CopiedDllPath().
void CopyTestDll() {
    DeleteEarlierCopies();
    CopyFileA((ProgramDirectory() + "kx_test_dll.dll").c_str(), CopiedDllPath().c_str(), FALSE);
}

enum DllCommandNumber : std::uint32_t {
    kGetTickCount, kGetCurrentProcessId, kMissingLibrary, kMissingExport, kCopiedDll,
};

// Form scenarios run with the core library first, for its data types, and a form block of
// their own: the form's window, a label, a unit of a type that raises no events, and (for
// the failing load) a label whose property block has a version above the highest.
bool FormScenario() { return std::strstr(GetCommandLineA(), " form-") != nullptr; }

const std::vector<std::uint8_t>& ProbeFormBlock() {
    static const std::vector<std::uint8_t> block = [] {
        forms::LabelBlock tooNew;
        auto tooNewBytes = tooNew.Write();
        tooNewBytes[0] = 3;
        const bool badLoad = std::strstr(GetCommandLineA(), " form-load-bad-version") != nullptr;
        return testing::FormBlockBytes(
            {{0x52010001,
              {{.id = 0x06010000, .typeId = type_word::kWindowType, .name = "",
                .propertyBlock = forms::WindowBlock().Write(), .tag = "probe"},
               {.id = 0x16010003, .typeId = type_word::kLabelType, .name = "标签2",
                .propertyBlock = badLoad ? tooNewBytes : forms::LabelBlock().Write(), .tag = "标签2"},
               {.id = 0x16010005, .typeId = type_word::kCoreEightByteType, .name = "坏", .tag = "坏"}},
              ""}});
    }();
    return block;
}

const LibraryDescriptor* CoreLibrary() {
    return FromWord<const LibraryDescriptor*>(FromWord<const Word*>(image::Header().libraries)[0]);
}

testing::TestImage& Image() {
    static testing::TestImage* image = [] {
        auto* built = new testing::TestImage;
        if (FormScenario()) {
            built->AddLibrary(CoreLibrary());
            built->SetFormBlock(ProbeFormBlock().data(), static_cast<Word>(ProbeFormBlock().size()));
        }
        built->AddLibrary(&kRecordingLibrary);
        built->AddLibrary(&kThreadLibrary);
        built->SetDllCommands({{"kernel32.dll", "GetTickCount"},
                               {"", "GetCurrentProcessId"},
                               {"kx_no_such_library.dll", "Nothing"},
                               {"", "KxNoSuchExportAnywhere"},
                               {CopiedDllPath(), "KxTestAnswer"}});
        return built;
    }();
    return *image;
}

template <typename Signature>
Signature* Dll(std::uint32_t number) {
    return reinterpret_cast<Signature*>(RtCallDllCommand(number));
}

void StartWorker(DWORD(WINAPI* routine)(void*)) {
    ValueCell args[] = {ValueCell::Subroutine(ToWord(reinterpret_cast<const void*>(routine)))};
    const ValueCell result =
        RtCallLibraryCommand(1, kThreadCommands[0], 1, args);
    Log("thread started " + std::to_string(result.low()));
}

// Lets sent messages through on the main thread until the process ends.
[[noreturn]] void PumpForever() {
    for (;;) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
}

DWORD WINAPI WorkerEnds(void*) {
    Log(std::string("worker ends the program on ") + ThreadName());
    RtEndProgram(5);
}

DWORD WINAPI WorkerRaises(void*) {
    RtRaiseError(4, 0, 0);
}

// A worker that goes on calling DLL commands while the main thread ends the program: a
// function of a library that only the runtime holds, resolved before the end, and a command
// it resolves again on every round.
HANDLE g_workerReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
std::atomic<bool> g_endDone{false};
std::atomic<int> g_callsAfterEnd{0};
std::atomic<int> g_wrongAnswers{0};

DWORD WINAPI WorkerCallsDllCommands(void*) {
    int (*const held)() = Dll<int()>(kCopiedDll);
    SetEvent(g_workerReady);
    for (;;) {
        const bool afterEnd = g_endDone.load();
        if (held() != 42) ++g_wrongAnswers;
        Dll<DWORD WINAPI()>(kGetTickCount)();
        if (afterEnd) ++g_callsAfterEnd;
    }
}

int Entry() {
    const char* commandLine = GetCommandLineA();
    const char* lastWord = std::strrchr(commandLine, ' ');
    g_scenario = lastWord ? lastWord + 1 : "";
    g_mainThread = GetCurrentThreadId();
    if (g_scenario != "raise-real-box") SetMessageBoxSeam(&g_boxes);
    RtService(static_cast<std::uint32_t>(ServiceNumber::kInitRuntime), 0, 0, 0, 0, 0, 0);
    RtService(static_cast<std::uint32_t>(ServiceNumber::kAddExitRoutine), ToWord(&ExitRoutineA), 0, 0, 0, 0, 0);
    RtService(static_cast<std::uint32_t>(ServiceNumber::kAddExitRoutine), ToWord(&ExitRoutineB), 0, 0, 0, 0, 0);
    if (g_scenario == "dll-missing-export") Log("loaded before:" + LoadedSystemLibraries());
    Log("entry on " + std::string(ThreadName()));

    if (g_scenario == "end-7") RtEndProgram(7);
    if (g_scenario == "raise-9") RtRaiseError(9, 67187709, 511);
    if (g_scenario == "raise-real-box") RtRaiseError(2, 0, 0);
    if (g_scenario == "out-of-memory") RtAlloc(0xFFFFFFF0u);
    if (g_scenario == "writable-array-of-2-to-the-64-bytes") {
        // Two dimensions of 2^31 integers: 2^64 bytes, which a 64-bit product wraps to 0.
        Word* block = reinterpret_cast<Word*>(Image().constants());
        block[0] = 2;
        block[1] = 0x80000000;
        block[2] = 0x80000000;
        Word variable = ToWord(block);
        RtService(static_cast<std::uint32_t>(ServiceNumber::kMakeArrayWritable), ToWord(&variable), 4, 0, 0, 0, 0);
        Log("copy made");
    }
    if (g_scenario == "library-error-text") RuntimeService(library_service::kRaiseErrorText, ToWord("库报告的错误"), 0);
    if (g_scenario == "library-end-3") RuntimeService(library_service::kEndProgram, 3, 0);
    if (g_scenario == "property-without-form") RtWriteProperty(0x52010001, 0x16010004, 8, -1, 1000, 0);
    if (g_scenario == "start-form-missing") RtLoadStartForm(0x52010001);
    if (g_scenario.rfind("form-event-", 0) == 0) {
        EventRecord record{};
        record.formId = g_scenario == "form-event-form-missing" ? 0x52010002 : 0x52010001;
        record.unitId = g_scenario == "form-event-unit-missing" ? 0x16019999 : 0x16010005;
        RuntimeService(library_service::kCallEventRoutine, ToWord(&record), 0);
    }
    if (g_scenario == "form-read-not-loaded") RtReadProperty(0x52010001, 0x16010003, 8, -1);
    if (g_scenario == "form-write-not-loaded") RtWriteProperty(0x52010001, 0x16010003, 8, -1, ToWord("x"), 0);
    if (g_scenario == "form-load-bad-version") RtLoadStartForm(0x52010001);
    if (g_scenario == "worker-end-5") {
        StartWorker(WorkerEnds);
        PumpForever();
    }
    if (g_scenario == "worker-error") {
        StartWorker(WorkerRaises);
        PumpForever();
    }
    if (g_scenario == "dll-commands") {
        CopyTestDll();
        Log("first call answers " + std::to_string(Dll<int()>(kCopiedDll)()));
        // Binding again would now look for an export the library lacks and fail. (Moving the
        // file would not stop it: loading the path of a module already loaded reads no file.)
        RuntimeApp::Current()->dllCommand(kCopiedDll)->entryName = "KxNoSuchExport";
        Log("second call answers " + std::to_string(Dll<int()>(kCopiedDll)()));
        const DWORD processId = Dll<DWORD WINAPI()>(kGetCurrentProcessId)();
        Log(std::string("system search ") + (processId == GetCurrentProcessId() ? "found" : "wrong"));
    }
    if (g_scenario == "dll-calls-while-ending") {
        CopyTestDll();
        ValueCell args[] = {ValueCell::Subroutine(ToWord(&WorkerCallsDllCommands))};
        RtCallLibraryCommand(1, kThreadCommands[0], 1, args);
        WaitForSingleObject(g_workerReady, 10000);
        RuntimeApp::Current()->End(0);
        g_endDone.store(true);
        for (int i = 0; i < 100 && g_callsAfterEnd.load() < 1000; ++i) Sleep(10);
        Log(g_callsAfterEnd.load() > 0 ? "worker calls after the end" : "worker stopped calling");
        Log("wrong answers " + std::to_string(g_wrongAnswers.load()));
        ExitProcess(0);
    }
    if (g_scenario == "dll-calls-while-returning") {
        // The program ends the ordinary way, by returning, while the worker calls on.
        CopyTestDll();
        ValueCell args[] = {ValueCell::Subroutine(ToWord(&WorkerCallsDllCommands))};
        RtCallLibraryCommand(1, kThreadCommands[0], 1, args);
        WaitForSingleObject(g_workerReady, 10000);
        return 0;
    }
    if (g_scenario == "dll-missing-library") RtCallDllCommand(2);
    if (g_scenario == "dll-missing-export") RtCallDllCommand(3);

    RtRunUntilWindowsClosed();
    Log("loop returned");
    return 0;
}

}  // namespace

const kx::ProgramImageHeader& kx::program_binding::Image() { return ::Image().header(); }

int kx::program_binding::Entry() { return ::Entry(); }
