// A program for the process tests: it starts on the real process entry with an image of its
// own and acts out the scenario named by its last command-line word, writing what it sees to
// the file named by KX_PROBE_LOG. Message boxes are recorded there too.
#include <windows.h>

#include <atomic>
#include <cstring>
#include <string>

#include "entries.h"
#include "event_arguments.h"
#include "form_block_builder.h"
#include "kx/program_binding.h"
#include "kx/program_image.h"
#include "message_box.h"
#include "probe_log.h"
#include "property_blocks.h"
#include "runtime_app.h"
#include "test_image.h"
#include "thread_library.h"

namespace {

using namespace kx;
using kx::probe::Log;

DWORD g_mainThread = 0;
std::string g_librariesAtEntry;

// The last word of the command line. The image is built before the entry runs, so this
// reads the command line itself.
const std::string& Scenario() {
    static const char* const lastSpace = std::strrchr(GetCommandLineA(), ' ');
    static const std::string scenario = lastSpace ? lastSpace + 1 : "";
    return scenario;
}

std::string ThreadName() { return GetCurrentThreadId() == g_mainThread ? "main" : "worker"; }

void Service(ServiceNumber number, Word argument = 0, Word size = 0) {
    RtService(static_cast<std::uint32_t>(number), argument, size, 0, 0, 0, 0);
}

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
        // A failed search must give back every library it loaded before the box shows.
        if (LoadedSystemLibraries() != g_librariesAtEntry) Log("loaded since entry:" + LoadedSystemLibraries());
        std::string text;  // line breaks written out, so that the box stays one line of the log
        for (char c : request.text) text += c == '\r' ? "\\r" : c == '\n' ? "\\n" : std::string(1, c);
        Log("box on " + ThreadName() + " caption=" + request.caption + " style=" + std::to_string(request.style) +
            " text=" + text);
        return IDOK;
    }
};
LoggingMessageBoxes g_boxes;

std::int32_t RecordingNotify(std::int32_t code, Word, Word) {
    Log("notify " + std::to_string(code) + " on " + ThreadName());
    return 0;
}

DWORD WINAPI WorkerRaises(void*) { RtRaiseError(4, 0, 0); }

DWORD WINAPI WorkerEnds(void*) {
    Log("worker ends the program on " + ThreadName());
    RtEndProgram(5);
}

// Lets sent messages through on the main thread until `thread` ends, or for ever.
void PumpUntilEnded(HANDLE thread) {
    while (MsgWaitForMultipleObjects(thread ? 1 : 0, &thread, FALSE, 10000, QS_ALLINPUT) != WAIT_OBJECT_0 || !thread) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
}

void ExitRoutineA() {
    if (Scenario() == "worker_error_while_ending") {
        // A worker raises an error while the main thread cleans up and waits for it.
        PumpUntilEnded(CreateThread(nullptr, 0, WorkerRaises, nullptr, 0, nullptr));
    }
    if (Scenario() == "exit_routine_ends_7") {
        Log("exit A ends the program");
        RtEndProgram(7);
    }
    Log("exit A on " + ThreadName());
}
void ExitRoutineB() { Log("exit B on " + ThreadName()); }

const Word kThreadCommands[] = {ToWord(&threads::StartThread)};
const LibraryDescriptor kRecordingLibrary = testing::MakeLibraryDescriptor(nullptr, 0, ToWord(&RecordingNotify));
const LibraryDescriptor kThreadLibrary =
    testing::MakeLibraryDescriptor(kThreadCommands, 1, ToWord(&threads::ThreadLibraryNotify));

enum DllCommand : std::uint32_t { kGetTickCount, kGetCurrentProcessId, kMissingLibrary, kMissingExport, kTestDll };

// The tests' own DLL beside this program, by a path with a drive: nothing else loads it.
std::string TestDllPath() {
    char path[MAX_PATH];
    const std::string full(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
    return full.substr(0, full.rfind('\\') + 1) + "kx_test_dll.dll";
}

// Form scenarios run with the core library first, for its data types, and a form block of
// their own: the form's window, a label, a unit of a type that raises no events, and (for
// the failing load) a label whose property block has a version above the highest.
const std::vector<std::uint8_t>& ProbeFormBlock() {
    static const std::vector<std::uint8_t> block = [] {
        auto label = forms::LabelBlock().Write();
        if (Scenario() == "form_load_bad_version") label[0] = 3;
        const auto window = forms::WindowBlock().Write();
        return testing::FormBlockBytes({{0x52010001, {
            {.id = 0x06010000, .typeId = type_word::kWindowType, .name = "", .propertyBlock = window, .tag = "probe"},
            {.id = 0x16010003, .typeId = type_word::kLabelType, .name = "标签2", .propertyBlock = label, .tag = "标签2"},
            {.id = 0x16010005, .typeId = type_word::kCoreEightByteType, .name = "坏", .tag = "坏"}}, ""}});
    }();
    return block;
}

testing::TestImage& Image() {
    static testing::TestImage* image = [] {
        auto* built = new testing::TestImage;
        if (Scenario().rfind("form_", 0) == 0) {
            const Word coreLibrary = FromWord<const Word*>(image::Header().libraries)[0];
            built->AddLibrary(FromWord<const LibraryDescriptor*>(coreLibrary));
            built->SetFormBlock(ProbeFormBlock().data(), static_cast<Word>(ProbeFormBlock().size()));
        }
        built->AddLibrary(&kRecordingLibrary);
        built->AddLibrary(&kThreadLibrary);
        built->SetDllCommands({{"kernel32.dll", "GetTickCount"}, {"", "GetCurrentProcessId"},
                               {"kx_no_such_library.dll", "Nothing"}, {"", "KxNoSuchExportAnywhere"},
                               {TestDllPath(), "KxTestAnswer"}});
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
    RtCallLibraryCommand(1, kThreadCommands[0], 1, args);
}

[[noreturn]] void RunOnAWorker(DWORD(WINAPI* routine)(void*)) {
    StartWorker(routine);
    PumpUntilEnded(nullptr);
    ExitProcess(99);  // never reached
}

// A worker that goes on calling DLL commands while the main thread ends the program: a
// function of a library that only the runtime holds, resolved before the end, and a command
// it resolves again on every round.
HANDLE g_workerReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
std::atomic<bool> g_endDone{false};
std::atomic<int> g_callsAfterEnd{0};
std::atomic<int> g_wrongAnswers{0};

DWORD WINAPI WorkerCallsDllCommands(void*) {
    int (*const held)() = Dll<int()>(kTestDll);
    SetEvent(g_workerReady);
    for (;;) {
        const bool afterEnd = g_endDone.load();
        if (held() != 42) ++g_wrongAnswers;
        Dll<DWORD WINAPI()>(kGetTickCount)();
        if (afterEnd) ++g_callsAfterEnd;
    }
}

void StartAWorkerCallingDllCommands() {
    StartWorker(WorkerCallsDllCommands);
    WaitForSingleObject(g_workerReady, 10000);
}

void EndWhileAWorkerCallsDllCommands() {
    StartAWorkerCallingDllCommands();
    RuntimeApp::Current()->End(0);
    g_endDone.store(true);
    for (int i = 0; i < 100 && g_callsAfterEnd.load() < 1000; ++i) Sleep(10);
    Log(g_callsAfterEnd.load() > 0 ? "worker calls after the end" : "worker stopped calling");
    Log("wrong answers " + std::to_string(g_wrongAnswers.load()));
    ExitProcess(0);
}

void CallDllCommandsTwice() {
    Log("first call answers " + std::to_string(Dll<int()>(kTestDll)()));
    // Binding again would now look for an export the library lacks and fail. (Moving the
    // file would not stop it: loading the path of a module already loaded reads no file.)
    RuntimeApp::Current()->dllCommand(kTestDll)->entryName = "KxNoSuchExport";
    Log("second call answers " + std::to_string(Dll<int()>(kTestDll)()));
    const DWORD processId = Dll<DWORD WINAPI()>(kGetCurrentProcessId)();
    Log(std::string("system search ") + (processId == GetCurrentProcessId() ? "found" : "wrong"));
}

// Two dimensions of 2^31 integers: 2^64 bytes, which a 64-bit product wraps to 0.
void MakeArrayOf2To64BytesWritable() {
    const Word header[] = {2, 0x80000000, 0x80000000};
    std::memcpy(Image().constants(), header, sizeof header);
    Word variable = ToWord(Image().constants());
    Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), 4);
    Log("copy made");
}

void RaiseFormEvent(Word formId, Word unitId) {
    EventRecord record{formId, unitId, 0, 0, {}, 0, 0};  // an event of no index, without arguments
    RuntimeService(library_service::kCallEventRoutine, ToWord(&record), 0);
}

// What each scenario does after start-up; the rest ("normal", and those acted out by the
// exit routines) go straight on to the message loop.
const struct { const char* name; void (*act)(); } kScenarios[] = {
    {"end_7", [] { RtEndProgram(7); }},
    {"raise_9", [] { RtRaiseError(9, 67187709, 511); }},
    {"out_of_memory", [] { RtAlloc(0xFFFFFFF0u); }},
    {"writable_array_of_2_to_the_64_bytes", MakeArrayOf2To64BytesWritable},
    {"library_error_text", [] { RuntimeService(library_service::kRaiseErrorText, ToWord("库报告的错误"), 0); }},
    {"library_end_3", [] { RuntimeService(library_service::kEndProgram, 3, 0); }},
    {"property_without_form", [] { RtWriteProperty(0x52010001, 0x16010004, 8, -1, 1000, 0); }},
    {"start_form_missing", [] { RtLoadStartForm(0x52010001); }},
    {"form_load_bad_version", [] { RtLoadStartForm(0x52010001); }},
    {"form_event_form_missing", [] { RaiseFormEvent(0x52010002, 0x16010005); }},
    {"form_event_unit_missing", [] { RaiseFormEvent(0x52010001, 0x16019999); }},
    {"form_event_unit_invalid", [] { RaiseFormEvent(0x52010001, 0x16010005); }},
    {"form_read_not_loaded", [] { RtReadProperty(0x52010001, 0x16010003, 8, -1); }},
    {"form_write_not_loaded", [] { RtWriteProperty(0x52010001, 0x16010003, 8, -1, ToWord("x"), 0); }},
    {"worker_end_5", [] { RunOnAWorker(WorkerEnds); }},
    {"worker_error", [] { RunOnAWorker(WorkerRaises); }},
    {"dll_commands", CallDllCommandsTwice},
    {"dll_calls_while_ending", EndWhileAWorkerCallsDllCommands},
    {"dll_calls_while_returning", StartAWorkerCallingDllCommands},  // then returns as usual
    {"dll_missing_library", [] { RtCallDllCommand(kMissingLibrary); }},
    {"dll_missing_export", [] { RtCallDllCommand(kMissingExport); }},
};

int Entry() {
    g_mainThread = GetCurrentThreadId();
    SetMessageBoxSeam(&g_boxes);
    Service(ServiceNumber::kInitRuntime);
    Service(ServiceNumber::kAddExitRoutine, ToWord(&ExitRoutineA));
    Service(ServiceNumber::kAddExitRoutine, ToWord(&ExitRoutineB));
    g_librariesAtEntry = LoadedSystemLibraries();
    Log("entry on " + ThreadName());
    for (const auto& scenario : kScenarios) {
        if (Scenario() == scenario.name) scenario.act();
    }
    RtRunUntilWindowsClosed();
    Log("loop returned");
    return 0;
}

}  // namespace

const kx::ProgramImageHeader& kx::program_binding::Image() { return ::Image().header(); }

int kx::program_binding::Entry() { return ::Entry(); }
