// Whole processes: the probe program and the clock corrector started for real, judged by
// their exit codes and by what the probe wrote down.
#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "process_windows.h"
#include "test_process.h"
#include "text936.h"

namespace kx {
namespace {

using testing::ExecutableDirectory;
using Log = std::vector<std::string>;

constexpr DWORD kErrorExit = 0xFFFFFFFF;

// One test a process, so the process id alone keeps logs of tests run side by side apart.
const std::string kLogPath = ExecutableDirectory() + "probe_" + std::to_string(GetCurrentProcessId()) + ".log";

struct Ended { DWORD exitCode = 0; Log log; };

class StartedProgram {
public:
    StartedProgram(const std::string& program, const std::string& scenario) {
        DeleteFileA(kLogPath.c_str());
        SetEnvironmentVariableA("KX_PROBE_LOG", kLogPath.c_str());
        std::string commandLine = "\"" + program + "\" " + scenario;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process)) {
            ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
            return;
        }
        CloseHandle(process.hThread);
        handle_ = process.hProcess;
    }

    Ended Finish() {
        Ended run;
        if (!handle_) return run;
        if (WaitForSingleObject(handle_, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the process did not end";
            TerminateProcess(handle_, 99);
        }
        GetExitCodeProcess(handle_, &run.exitCode);
        CloseHandle(handle_);
        std::ifstream file(kLogPath, std::ios::binary);
        for (std::string line; std::getline(file, line);) run.log.push_back(line);
        DeleteFileA(kLogPath.c_str());
        return run;
    }

    // A shown top-level window with the given class (null: any) and title, once it shows;
    // shown means loaded: a form's window exists with its title before its controls do.
    HWND WaitForWindow(const wchar_t* className, const std::wstring& title) {
        for (int i = 0; handle_ && i < 300; ++i) {
            const auto found = testing::ShownWindowsOf(GetProcessId(handle_), title, className);
            if (!found.empty()) return found.front();
            Sleep(100);
        }
        TerminateProcess(handle_, 99);
        return nullptr;
    }

    // The text of the real box captioned 错误, after which the box is answered.
    std::wstring AnswerErrorBox() {
        HWND box = WaitForWindow(nullptr, WidenCp936("错误"));
        if (!box) return L"no box captioned 错误";
        wchar_t text[512] = {};
        GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's message control
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return text;
    }

private:
    HANDLE handle_ = nullptr;
};

const std::string kProbe = ExecutableDirectory() + KX_SPINE_PROBE;
const std::string kClockCorrector = ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe";

// The error box's text as the probe logs it: the error's code (when the box shows one), its
// message and where it happened, which ends a line.
std::string ErrorText(const std::string& message, const std::string& where, int code = 0) {
    const std::string codeLine = code ? "错误代码：" + std::to_string(code) + "\\r\\n\\r\\n" : "";
    return "运行时出错!\\r\\n\\r\\n" + codeLine + "错误信息：" + message + "\\r\\n\\r\\n" + where + "\\r\\n";
}
std::string BoxLine(const std::string& text, const char* thread = "main") {
    return std::string("box on ") + thread + " caption=错误 style=16 text=" + text;
}
// The recorded error box of the main thread, then the libraries' shutdown notice.
Log Box(const std::string& message, const std::string& where = "0, 0", int code = 0) {
    return {BoxLine(ErrorText(message, where, code)), "notify 6 on main"};
}
const Log kCleanUp = {"exit A on main", "exit B on main", "notify 6 on main"};
const std::string kIndexBelowOne = ErrorText("数组成员引用下标必须大于等于1", "0, 0", 4);
const std::string kNoForm = "\\r\\n未找到所指定的窗口";
const std::string kLabelOfProbe = "1375797249, 369164291\\r\\n\"probe\"\\r\\n\"标签2\"";

Log Then(Log first, const Log& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

struct Scenario {
    const char* name;
    DWORD exitCode;
    Log logAfterEntry;
    int rounds = 1;  // for races that show only sometimes
};

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

class ProbeScenario : public ::testing::TestWithParam<Scenario> {};

// What the probe logs, in order, is the whole story: which exit routines ran and on which
// thread, whether libraries were told of the end, and which box showed.
TEST_P(ProbeScenario, EndsWithItsCodeAndLogsExactly) {
    const Scenario& scenario = GetParam();
    for (int round = 0; round < scenario.rounds; ++round) {
        const Ended run = StartedProgram(kProbe, scenario.name).Finish();
        EXPECT_EQ(run.exitCode, scenario.exitCode);
        EXPECT_EQ(run.log, Then({"notify 1 on main", "entry on main"}, scenario.logAfterEntry));
    }
}

const Scenario kScenarios[] = {
    {"normal", 0, Then({"loop returned"}, kCleanUp)},
    {"end_7", 7, kCleanUp},
    {"library_end_3", 3, kCleanUp},
    // An exit routine that ends the program is not run again, nor are the rest.
    {"exit_routine_ends_7", 7, {"loop returned", "exit A ends the program", "notify 6 on main"}},
    {"raise_9", kErrorExit, Box("“多项选择”命令的索引值参数小于零或超出了所提供参数表范围", "67187709, 511", 9)},
    {"out_of_memory", kErrorExit, Box("分配 -16 字节内存失败!")},
    // A constant array too large to copy cannot be made writable.
    {"writable_array_of_2_to_the_64_bytes", kErrorExit, Box("分配 -1 字节内存失败!")},
    {"library_error_text", kErrorExit, Box("库报告的错误")},
    {"property_without_form", kErrorExit, Box("未载入欲访问窗口组件所在的窗口", "1375797249, 369164292" + kNoForm)},
    {"start_form_missing", kErrorExit, Box("载入启动窗口失败", "1375797249, 0" + kNoForm)},
    {"form_event_form_missing", kErrorExit, Box("未找到引发事件的窗口", "1375797250, 0" + kNoForm)},
    {"form_event_unit_missing", kErrorExit,
     Box("未找到引发事件的窗口组件", "1375797249, 369203609\\r\\n\"probe\"\\r\\n未找到所指定的窗口组件")},
    {"form_event_unit_invalid", kErrorExit,
     Box("引发事件的窗口组件无效", "1375797249, 369164293\\r\\n\"probe\"\\r\\n\"坏\"")},
    {"form_read_not_loaded", kErrorExit, Box("读取组件属性时发现指定窗口尚未载入", kLabelOfProbe)},
    {"form_write_not_loaded", kErrorExit, Box("修改组件属性时发现指定窗口尚未载入", kLabelOfProbe)},
    // A label whose block is too new is not created, and with it the form is not loaded.
    {"form_load_bad_version", kErrorExit, Box("载入启动窗口失败", "1375797249, 0\\r\\n\"probe\"\\r\\n\"probe\"")},
    // A worker's end and error are carried out on the main thread; its box shows on the worker.
    {"worker_end_5", 5, Then({"worker ends the program on worker"}, kCleanUp)},
    {"worker_error", kErrorExit, {BoxLine(kIndexBelowOne, "worker"), "notify 6 on main"}},
    // An error on a worker while the main thread cleans up drops the routines not yet run.
    {"worker_error_while_ending", kErrorExit,
     {"loop returned", BoxLine(kIndexBelowOne, "worker"), "exit A on main", "notify 6 on main"}},
    // The second call comes from the cache, so its changed export name raises no box.
    {"dll_commands", 0,
     Then({"first call answers 42", "second call answers 42", "system search found", "loop returned"}, kCleanUp)},
    // The end releases the DLL modules while a worker still calls into them, both through a
    // function it resolved before and through commands it resolves again.
    {"dll_calls_while_ending", 0, Then(kCleanUp, {"worker calls after the end", "wrong answers 0"})},
    {"dll_calls_while_returning", 0, Then({"loop returned"}, kCleanUp), 3},
    {"dll_missing_library", kErrorExit, Box("无法找到指定DLL库文件“kx_no_such_library.dll”中的输出命令“Nothing”")},
    // The failed search of the system libraries leaves none of them loaded.
    {"dll_missing_export", kErrorExit, Box("无法找到指定DLL库文件中的输出命令“KxNoSuchExportAnywhere”")},
};

INSTANTIATE_TEST_SUITE_P(Probe, ProbeScenario, ::testing::ValuesIn(kScenarios),
                         [](const auto& info) { return std::string(info.param.name); });

// The application's image declares CoInitialize, CoUninitialize and InternetTimeToSystemTime;
// their libraries load above 4 GiB under Wine, where no address word could hold them.
TEST(Process, TheImagesOwnDllCommandsBindAndAnswer) {
    const Ended run = StartedProgram(ExecutableDirectory() + KX_IMAGE_DLL_PROBE, "").Finish();
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.log, (Log{"CoInitialize succeeded", "parsed 1: 2026-12-31 20:30:15", "CoUninitialize returned"}));
}

TEST(Process, TheClockCorrectorWithACorruptFormBlockReportsItAndEndsWithMinusOne) {
    // A copy of the program whose unit table claims more bytes than the block holds.
    std::ifstream in(kClockCorrector, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string blockStart("\x08\x00\x00\x00\x01\x00\x01\x52\x00\x00\x00\x00\x18\xDF\x66\x02", 16);
    const std::size_t at = bytes.find(blockStart);
    ASSERT_NE(at, std::string::npos);
    // The first copy is the loaded one; a later one may sit in the debugging information.
    bytes.replace(at + 32, 4, "\xF0\xFF\xFF\x7F", 4);  // the unit table's length word
    const std::string copy =
        ExecutableDirectory() + "corrupt_form_block_" + std::to_string(GetCurrentProcessId()) + ".exe";
    std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    StartedProgram process(copy, "");
    EXPECT_EQ(process.AnswerErrorBox(), WidenCp936("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n\r\n0, 0\r\n"));
    EXPECT_EQ(process.Finish().exitCode, kErrorExit);
    DeleteFileA(copy.c_str());
}

TEST(Process, TheClockCorrectorShowsItsWindowAndEndsWithZeroWhenItIsClosed) {
    StartedProgram process(kClockCorrector, "");
    HWND window = process.WaitForWindow(L"QZWindow", WidenCp936("Velmo 校时工具"));
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    // 380 by 258, in the middle of the screen.
    EXPECT_EQ((std::array<LONG, 4>{rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top}),
              (std::array<LONG, 4>{(GetSystemMetrics(SM_CXSCREEN) - 380) / 2, (GetSystemMetrics(SM_CYSCREEN) - 258) / 2,
                                   380, 258}));
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(process.Finish().exitCode, 0u);
}

}  // namespace
}  // namespace kx
