// Whole processes: the probe program and the clock corrector started for real, judged by
// their exit codes and by what the probe wrote down.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "process_windows.h"
#include "test_process.h"
#include "text936.h"

namespace kx {
namespace {

using testing::ExecutableDirectory;

struct ProbeRun {
    DWORD exitCode = 0;
    std::vector<std::string> log;

    bool Has(const std::string& line) const {
        for (const auto& entry : log) {
            if (entry == line) return true;
        }
        return false;
    }
    int IndexOf(const std::string& line) const {
        for (size_t i = 0; i < log.size(); ++i) {
            if (log[i] == line) return static_cast<int>(i);
        }
        return -1;
    }
};

class Process : public ::testing::Test {
protected:
    HANDLE Start(const std::string& program, const std::string& scenario) {
        logPath_ = ExecutableDirectory() + "probe_" + std::to_string(GetCurrentProcessId()) + "_" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".log";
        DeleteFileA(logPath_.c_str());
        SetEnvironmentVariableA("KX_PROBE_LOG", logPath_.c_str());
        std::string commandLine = "\"" + program + "\" " + scenario;
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                            nullptr, nullptr, &startup, &process)) {
            ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
            return nullptr;
        }
        CloseHandle(process.hThread);
        return process.hProcess;
    }

    ProbeRun Finish(HANDLE process) {
        ProbeRun run;
        if (!process) return run;
        if (WaitForSingleObject(process, 60000) != WAIT_OBJECT_0) {
            ADD_FAILURE() << "the process did not end";
            TerminateProcess(process, 99);
        }
        GetExitCodeProcess(process, &run.exitCode);
        CloseHandle(process);
        std::ifstream file(logPath_, std::ios::binary);
        for (std::string line; std::getline(file, line);) run.log.push_back(line);
        DeleteFileA(logPath_.c_str());
        return run;
    }

    ProbeRun RunProbe(const std::string& scenario) {
        return Finish(Start(ExecutableDirectory() + KX_SPINE_PROBE, scenario));
    }

    std::string logPath_;
};

constexpr DWORD kErrorExit = 0xFFFFFFFF;
const std::string kBoxPrefix = "box on main caption=错误 style=16 text=运行时出错!\\r\\n";

TEST_F(Process, NormalEndRunsExitRoutinesInOrderThenLibraries) {
    const ProbeRun run = RunProbe("normal");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_EQ(run.log, (std::vector<std::string>{"notify 1 on main", "entry on main", "loop returned",
                                                 "exit A on main", "exit B on main",
                                                 "notify 6 on main"}));
}

TEST_F(Process, EndingWithACodeCleansUpAndKeepsTheCode) {
    const ProbeRun run = RunProbe("end-7");
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_TRUE(run.Has("exit A on main"));
    EXPECT_TRUE(run.Has("notify 6 on main"));
    EXPECT_FALSE(run.Has("loop returned"));
}

TEST_F(Process, ARunTimeErrorShowsItsBoxDropsExitRoutinesAndEndsWithMinusOne) {
    const ProbeRun run = RunProbe("raise-9");
    EXPECT_EQ(run.exitCode, kErrorExit);
    EXPECT_TRUE(run.Has(kBoxPrefix +
                        "\\r\\n错误代码：9\\r\\n\\r\\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提"
                        "供参数表范围\\r\\n\\r\\n67187709, 511\\r\\n"))
        << (run.log.size() > 1 ? run.log[1] : "");
    EXPECT_FALSE(run.Has("exit A on main"));
    EXPECT_TRUE(run.Has("notify 6 on main"));
}

TEST_F(Process, FixedErrorsOfTheRuntime) {
    struct Row { const char* scenario; std::string text; DWORD exitCode; };
    const Row rows[] = {
        {"out-of-memory", "\\r\\n错误信息：分配 -16 字节内存失败!\\r\\n\\r\\n0, 0\\r\\n", kErrorExit},
        // A constant array too large to copy cannot be made writable.
        {"writable-array-of-2-to-the-64-bytes", "\\r\\n错误信息：分配 -1 字节内存失败!\\r\\n\\r\\n0, 0\\r\\n",
         kErrorExit},
        {"library-error-text", "\\r\\n错误信息：库报告的错误\\r\\n\\r\\n0, 0\\r\\n", kErrorExit},
        {"property-without-form",
         "\\r\\n错误信息：未载入欲访问窗口组件所在的窗口\\r\\n\\r\\n1375797249, 369164292\\r\\n"
         "未找到所指定的窗口\\r\\n", kErrorExit},
        {"start-form-missing",
         "\\r\\n错误信息：载入启动窗口失败\\r\\n\\r\\n1375797249, 0\\r\\n未找到所指定的窗口\\r\\n", kErrorExit},
        {"form-event-form-missing",
         "\\r\\n错误信息：未找到引发事件的窗口\\r\\n\\r\\n1375797250, 0\\r\\n未找到所指定的窗口\\r\\n", kErrorExit},
        {"form-event-unit-missing",
         "\\r\\n错误信息：未找到引发事件的窗口组件\\r\\n\\r\\n1375797249, 369203609\\r\\n\"probe\"\\r\\n"
         "未找到所指定的窗口组件\\r\\n", kErrorExit},
        {"form-event-unit-invalid",
         "\\r\\n错误信息：引发事件的窗口组件无效\\r\\n\\r\\n1375797249, 369164293\\r\\n\"probe\"\\r\\n\"坏\"\\r\\n",
         kErrorExit},
        {"form-read-not-loaded",
         "\\r\\n错误信息：读取组件属性时发现指定窗口尚未载入\\r\\n\\r\\n1375797249, 369164291\\r\\n\"probe\"\\r\\n"
         "\"标签2\"\\r\\n", kErrorExit},
        {"form-write-not-loaded",
         "\\r\\n错误信息：修改组件属性时发现指定窗口尚未载入\\r\\n\\r\\n1375797249, 369164291\\r\\n\"probe\"\\r\\n"
         "\"标签2\"\\r\\n", kErrorExit},
        // A label whose block is too new is not created, and with it the form is not loaded.
        {"form-load-bad-version",
         "\\r\\n错误信息：载入启动窗口失败\\r\\n\\r\\n1375797249, 0\\r\\n\"probe\"\\r\\n\"probe\"\\r\\n", kErrorExit},
        {"dll-missing-library",
         "\\r\\n错误信息：无法找到指定DLL库文件“kx_no_such_library.dll”中的输出命令“Nothing”"
         "\\r\\n\\r\\n0, 0\\r\\n", kErrorExit},
        {"dll-missing-export",
         "\\r\\n错误信息：无法找到指定DLL库文件中的输出命令“KxNoSuchExportAnywhere”\\r\\n\\r\\n0, 0\\r\\n",
         kErrorExit},
    };
    for (const Row& row : rows) {
        const ProbeRun run = RunProbe(row.scenario);
        EXPECT_EQ(run.exitCode, row.exitCode) << row.scenario;
        EXPECT_TRUE(run.Has(kBoxPrefix + row.text))
            << row.scenario << ": " << (run.log.size() > 1 ? run.log[1] : "no box");
        EXPECT_FALSE(run.Has("exit A on main")) << row.scenario;
    }
}

TEST_F(Process, LibraryEndRequestEndsWithItsCode) {
    const ProbeRun run = RunProbe("library-end-3");
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_TRUE(run.Has("exit B on main"));
}

TEST_F(Process, AWorkerThreadsEndIsCarriedOutOnTheMainThread) {
    const ProbeRun run = RunProbe("worker-end-5");
    EXPECT_EQ(run.exitCode, 5u);
    EXPECT_TRUE(run.Has("thread started 1"));
    EXPECT_TRUE(run.Has("worker ends the program on worker"));
    EXPECT_TRUE(run.Has("exit A on main"));
    EXPECT_TRUE(run.Has("notify 6 on main"));
    EXPECT_LT(run.IndexOf("exit A on main"), run.IndexOf("notify 6 on main"));
}

TEST_F(Process, AWorkerThreadsErrorShowsItsBoxThereAndCleansUpOnTheMainThread) {
    const ProbeRun run = RunProbe("worker-error");
    EXPECT_EQ(run.exitCode, kErrorExit);
    EXPECT_TRUE(run.Has("box on worker caption=错误 style=16 text=运行时出错!\\r\\n\\r\\n错误代码：4"
                        "\\r\\n\\r\\n错误信息：数组成员引用下标必须大于等于1\\r\\n\\r\\n0, 0\\r\\n"));
    EXPECT_FALSE(run.Has("exit A on main"));
    EXPECT_TRUE(run.Has("notify 6 on main"));
}

TEST_F(Process, AWorkerThreadsErrorWhileTheMainThreadCleansUpStillEndsWithMinusOne) {
    const ProbeRun run = RunProbe("worker-error-while-ending");
    EXPECT_EQ(run.exitCode, kErrorExit);
    EXPECT_TRUE(run.Has("box on worker caption=错误 style=16 text=运行时出错!\\r\\n\\r\\n错误代码：4"
                        "\\r\\n\\r\\n错误信息：数组成员引用下标必须大于等于1\\r\\n\\r\\n0, 0\\r\\n"));
    EXPECT_FALSE(run.Has("exit B on main"));  // the error drops the routines not yet run
    EXPECT_TRUE(run.Has("notify 6 on main"));  // and the clean-up still finishes
}

TEST_F(Process, DllCommandsBindOnceAndSearchTheSystemLibraries) {
    const ProbeRun run = RunProbe("dll-commands");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.Has("first call answers 42"));
    EXPECT_TRUE(run.Has("second call answers 42"));  // from the cache: no error box
    EXPECT_TRUE(run.Has("system search found"));
}

// The application's image declares CoInitialize, CoUninitialize and InternetTimeToSystemTime;
// their libraries load above 4 GiB under Wine, where no address word could hold them.
TEST_F(Process, TheImagesOwnDllCommandsBindAndAnswer) {
    const ProbeRun run = Finish(Start(ExecutableDirectory() + KX_IMAGE_DLL_PROBE, ""));
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.Has("CoInitialize succeeded"));
    EXPECT_TRUE(run.Has("parsed 1: 2026-12-31 20:30:15"));
    EXPECT_TRUE(run.Has("CoUninitialize returned"));
    for (const std::string& line : run.log) {
        if (line.rfind("ole32.dll at", 0) == 0 || line.rfind("wininet.dll at", 0) == 0) {
            std::cout << "[ loaded   ] " << line << "\n";
        }
    }
}

// The end routine releases the DLL modules while a worker still calls into them, both
// through a function it resolved before and through commands it resolves again.
TEST_F(Process, AWorkerCallingDllCommandsWhileTheProgramEndsNeitherFaultsNorReports) {
    const ProbeRun run = RunProbe("dll-calls-while-ending");
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_TRUE(run.Has("worker calls after the end"));
    EXPECT_TRUE(run.Has("wrong answers 0"));
    for (const std::string& line : run.log) EXPECT_EQ(line.rfind("box", 0), std::string::npos) << line;
}

TEST_F(Process, AWorkerCallingDllCommandsWhileTheProgramReturnsDoesNotFault) {
    for (int round = 0; round < 3; ++round) {
        const ProbeRun run = RunProbe("dll-calls-while-returning");
        EXPECT_EQ(run.exitCode, 0u) << "round " << round;
        EXPECT_TRUE(run.Has("notify 6 on main"));
    }
}

TEST_F(Process, AFailedSystemLibrarySearchLeavesNoLibraryLoaded) {
    const ProbeRun run = RunProbe("dll-missing-export");
    ASSERT_GE(run.log.size(), 3u);
    const std::string before = run.log[1];
    EXPECT_EQ(before.rfind("loaded before:", 0), 0u) << before;
    EXPECT_TRUE(run.Has("loaded when the box shows:" + before.substr(std::string("loaded before:").size())))
        << before;
}

TEST_F(Process, AnExitRoutineThatEndsTheProgramDoesNotRunAgain) {
    const ProbeRun run = RunProbe("exit-routine-ends-7");
    EXPECT_EQ(run.exitCode, 7u);
    EXPECT_EQ(run.log, (std::vector<std::string>{"notify 1 on main", "entry on main", "loop returned",
                                                 "exit A ends the program", "notify 6 on main"}));
}

// A shown top-level window of `process` with the given class (null: any) and title, once it
// shows; shown means loaded: a form's window exists with its title before its controls do.
HWND WaitForWindowOf(HANDLE process, const wchar_t* className, const std::wstring& title) {
    for (int i = 0; i < 300; ++i) {
        const std::vector<HWND> found = testing::ShownWindowsOf(GetProcessId(process), title, className);
        if (!found.empty()) return found.front();
        Sleep(100);
    }
    return nullptr;
}

// The text of the real box captioned 错误 of `process`, after which the box is answered.
std::wstring AnswerErrorBox(HANDLE process) {
    HWND box = WaitForWindowOf(process, nullptr, WidenCp936("错误"));
    if (!box) {
        TerminateProcess(process, 99);
        return L"no box captioned 错误";
    }
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);  // the box's message control
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    return text;
}

TEST_F(Process, TheRealErrorBoxAppearsWithItsCaptionAndText) {
    HANDLE process = Start(ExecutableDirectory() + KX_SPINE_PROBE, "raise-real-box");
    const std::wstring text = AnswerErrorBox(process);
    EXPECT_NE(text.find(WidenCp936("运行时出错!")), std::wstring::npos) << text;
    EXPECT_NE(text.find(WidenCp936("未得到所需要的数值型数据")), std::wstring::npos) << text;
    EXPECT_EQ(Finish(process).exitCode, kErrorExit);
}

TEST_F(Process, TheClockCorrectorWithACorruptFormBlockReportsItAndEndsWithMinusOne) {
    // A copy of the program whose unit table claims more bytes than the block holds.
    const std::string program = ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe";
    std::ifstream in(program, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string blockStart("\x08\x00\x00\x00\x01\x00\x01\x52\x00\x00\x00\x00\x18\xDF\x66\x02", 16);
    const std::size_t at = bytes.find(blockStart);
    ASSERT_NE(at, std::string::npos);
    // The first copy is the loaded one; a later one may sit in the debugging information.
    bytes.replace(at + 32, 4, "\xF0\xFF\xFF\x7F", 4);  // the unit table's length word
    const std::string copy = ExecutableDirectory() + "corrupt_form_block_" +
                             std::to_string(GetCurrentProcessId()) + ".exe";
    std::ofstream(copy, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));

    HANDLE process = Start(copy, "");
    const std::wstring text = AnswerErrorBox(process);
    EXPECT_EQ(text, WidenCp936("运行时出错!\r\n\r\n错误信息：载入窗口模板数据段出错!\r\n\r\n0, 0\r\n"));
    EXPECT_EQ(Finish(process).exitCode, kErrorExit);
    DeleteFileA(copy.c_str());
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

TEST_F(Process, TheClockCorrectorShowsItsWindowAndEndsWithZeroWhenItIsClosed) {
    const std::string program = ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe";
    HANDLE process = Start(program, "");
    HWND window = WaitForWindowOf(process, L"QZWindow", WidenCp936("Velmo 校时工具"));
    if (!window) TerminateProcess(process, 99);
    ASSERT_NE(window, nullptr);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 380);
    EXPECT_EQ(rect.bottom - rect.top, 258);
    EXPECT_EQ(rect.left, (GetSystemMetrics(SM_CXSCREEN) - 380) / 2);
    EXPECT_EQ(rect.top, (GetSystemMetrics(SM_CYSCREEN) - 258) / 2);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_MAXIMIZEBOX | WS_THICKFRAME | WS_VISIBLE),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE));
    // Children from the top of the z-order: 按钮6 first, 标签1 last.
    std::vector<std::pair<std::string, int>> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.emplace_back(ClassOf(child), GetDlgCtrlID(child));
    }
    EXPECT_EQ(children, (std::vector<std::pair<std::string, int>>{
                            {"Button", 190}, {"_KX_Timer", 180}, {"_KX_Label", 170}, {"Button", 160},
                            {"Button", 150}, {"Button", 140}, {"Button", 130}, {"Button", 120},
                            {"_KX_Label", 110}, {"_KX_Label", 100}}));
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(Finish(process).exitCode, 0u);
}

}  // namespace
}  // namespace kx
