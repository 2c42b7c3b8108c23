// The clock corrector as a user runs it: the real program started as its own process, its
// network time served by a loopback proxy that answers for every host, its labels and
// boxes read from its windows. ctest runs these tests with the clock moved years ahead for
// this process and the program alike, so 当前时间 agrees with this process's clock only if
// the program reads the clock it is given.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "loopback_http_server.h"
#include "process_windows.h"
#include "screen_capture.h"
#include "test_process.h"
#include "text936.h"

namespace kx {
namespace {

using testing::ExecutableDirectory;
using testing::LoopbackHttpServer;

constexpr DWORD kStillRunning = 99;
constexpr wchar_t kLocalPrefix[] = L"当前时间：";
constexpr wchar_t kNetworkPrefix[] = L"北京时间：";
const std::string kProgram = ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe";

// Seconds since 1601 of a local time; -1 before 1601, where the system counts none.
std::int64_t SecondsOf(const SYSTEMTIME& time) {
    FILETIME file;
    if (!SystemTimeToFileTime(&time, &file)) return -1;
    return static_cast<std::int64_t>(ULARGE_INTEGER{{file.dwLowDateTime, file.dwHighDateTime}}.QuadPart / 10000000);
}

// Seconds of a shown "2031年7月16日6时30分15秒", whose time of day stops at its last non-zero
// field; -1 for any other text.
std::int64_t ShownSeconds(const std::wstring& text, const wchar_t* prefix) {
    if (text.rfind(prefix, 0) != 0) return -1;
    const wchar_t* fields = text.c_str() + wcslen(prefix);
    int f[6] = {};
    if (swscanf(fields, L"%d年%d月%d日%d时%d分%d秒", &f[0], &f[1], &f[2], &f[3], &f[4], &f[5]) < 3) return -1;
    return SecondsOf({static_cast<WORD>(f[0]), static_cast<WORD>(f[1]), 0, static_cast<WORD>(f[2]),
                      static_cast<WORD>(f[3]), static_cast<WORD>(f[4]), static_cast<WORD>(f[5]), 0});
}

// The program, started with http_proxy naming `proxy` (WinHTTP reads it when the program
// starts); ended at the latest when the test ends.
class ClockCorrector {
public:
    explicit ClockCorrector(const std::string& proxy) {
        std::wstring commandLine = L"\"" + WidenCp936(kProgram) + L"\"";
        SetEnvironmentVariableW(L"http_proxy", (L"http://" + WidenCp936(proxy)).c_str());
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << kProgram << ": " << GetLastError();
            return;
        }
        CloseHandle(process.hThread);
        process_ = process.hProcess;
        processId_ = process.dwProcessId;
    }
    ~ClockCorrector() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, kStillRunning);
        CloseHandle(process_);
    }
    ClockCorrector(const ClockCorrector&) = delete;
    ClockCorrector& operator=(const ClockCorrector&) = delete;

    std::vector<HWND> WindowsTitled(const std::wstring& title) const {
        return testing::ShownWindowsOf(processId_, title);
    }
    HWND WaitForWindow(const std::wstring& title, int timeoutMs) const {
        for (int waited = 0; waited <= timeoutMs; waited += 50) {
            const auto found = WindowsTitled(title);
            if (!found.empty()) return found.front();
            Sleep(50);
        }
        return nullptr;
    }
    HWND WaitForMainWindow() const { return WaitForWindow(WidenCp936("Velmo 校时工具"), 30000); }
    // Closes the main window; the program's exit code once it has ended, or kStillRunning.
    DWORD CloseAndWait(HWND form) const {
        PostMessageW(form, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(process_, 10000) != WAIT_OBJECT_0) return kStillRunning;
        DWORD code = kStillRunning;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// The text of the form's label whose text starts with `prefix` (empty while none does).
std::wstring LabelStartingWith(HWND form, const wchar_t* prefix) {
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t name[64] = {}, text[256] = {};
        GetClassNameW(child, name, 64);
        GetWindowTextW(child, text, 256);
        if (std::wstring(name) == L"_KX_Label" && std::wstring(text).rfind(prefix, 0) == 0) return text;
    }
    return {};
}

// Polls the form's 北京时间 label until `done` accepts its text: the text, or empty after
// `timeoutMs`. The form's own placeholder text shows until the first tick.
template <typename Done>
std::wstring WaitForNetworkLabel(HWND form, int timeoutMs, Done done) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        const std::wstring text = LabelStartingWith(form, kNetworkPrefix);
        if (done(text)) return text;
        Sleep(20);
    }
    return {};
}

testing::ScriptedResponse Dated(const std::string& date) {
    return {.statusLine = "HTTP/1.1 200 OK", .headerLines = {"Date: " + date}, .body = ""};
}

TEST(ClockCorrectorTest, ShowsTheServedTimeInBeijingCountingUpBesideTheLocalClock) {
    LoopbackHttpServer proxy;
    proxy.Script({Dated("Tue, 15 Jul 2031 22:30:15 GMT")});
    ClockCorrector program(proxy.HostAndPort());
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    // The program carries the icon its window shows in place of the system's generic one
    // (asked of the file: under Wine, WM_GETICON from another process answers 0).
    HMODULE image = LoadLibraryExW(WidenCp936(kProgram).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FindResourceW(image, L"DEFAULT_ICON", reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)), nullptr);
    if (image) FreeLibrary(image);

    // The first tick after the worker stored 06:30:15 the next day shows one second more,
    // then one second per tick.
    const std::int64_t served = ShownSeconds(L"2031年7月16日6时30分15秒", L"");
    const auto in2031 = [](const std::wstring& t) { return t.find(L"2031年") != t.npos; };
    std::wstring text = WaitForNetworkLabel(form, 90000, in2031);
    std::int64_t shown = ShownSeconds(text, kNetworkPrefix);
    EXPECT_GE(shown, served + 1) << "北京时间 never showed the served date";
    EXPECT_LE(shown, served + 2) << "the served time was shown late";
    for (int tick = 1; tick <= 3; ++tick) {
        text = WaitForNetworkLabel(form, 3000, [&text](const std::wstring& t) { return t != text; });
        EXPECT_EQ(ShownSeconds(text, kNetworkPrefix), ++shown) << "北京时间 stopped or jumped";
    }
    // 当前时间 is the clock the program sees, the same (faked) clock as this process's.
    SYSTEMTIME now;
    GetLocalTime(&now);
    const std::int64_t local = ShownSeconds(LabelStartingWith(form, kLocalPrefix), kLocalPrefix);
    EXPECT_GE(local, SecondsOf(now) - 2);
    EXPECT_LE(local, SecondsOf(now));

    // One request (what it asks is tested in process), and no warning.
    EXPECT_EQ(proxy.Requests().size(), 1u);
    EXPECT_TRUE(program.WindowsTitled(WidenCp936("警告")).empty());
    EXPECT_TRUE(testing::SaveBmp(testing::CaptureWindow(form), ExecutableDirectory() + "clock-corrector.bmp"));
    EXPECT_EQ(program.CloseAndWait(form), 0u);
}

// A failed fetch shows the year 100, which stays put, with one warning; so does a served
// date whose text holds "100", while it counts up.
TEST(ClockCorrectorTest, WarnsOnceWhenTheShownTimeHoldsOneHundred) {
    struct Row { const char* name; const char* date; const wchar_t* year; const wchar_t* shownFirst; int ticksLate; };
    const Row rows[] = {
        {"no server", nullptr, L"北京时间：100年", L"北京时间：100年1月1日", 0},
        {"a date in 2100", "Fri, 01 Jan 2100 04:00:00 GMT", L"北京时间：2100年", L"北京时间：2100年1月1日12时", 2},
    };
    const std::wstring warningTitle = WidenCp936("警告");
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        LoopbackHttpServer proxy;
        if (row.date) proxy.Script({Dated(row.date)});
        ClockCorrector program(row.date ? proxy.HostAndPort()
                                        : "127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()));
        HWND form = program.WaitForMainWindow();
        ASSERT_NE(form, nullptr);
        // Shown in time: the year 100 exactly, any other time one or two ticks on.
        const auto inYear = [&row](const std::wstring& t) { return t.rfind(row.year, 0) == 0; };
        const std::wstring text = WaitForNetworkLabel(form, 90000, inYear);
        const std::int64_t late = ShownSeconds(text, kNetworkPrefix) - ShownSeconds(row.shownFirst, kNetworkPrefix);
        EXPECT_TRUE(row.ticksLate == 0 ? text == row.shownFirst : late >= 0 && late <= row.ticksLate) << text;
        // The worker tests the text right after storing it.
        HWND box = program.WaitForWindow(warningTitle, 10000);
        ASSERT_NE(box, nullptr) << "no 警告 box";
        wchar_t message[512] = {};
        GetDlgItemTextW(box, 0xFFFF, message, 512);
        EXPECT_EQ(message, WidenCp936("获取网络时间失败，请检查网络设置！"));
        EXPECT_EQ(program.WindowsTitled(warningTitle).size(), 1u);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        const std::wstring later = WaitForNetworkLabel(form, 3500, [&text](const std::wstring& t) { return t != text; });
        EXPECT_EQ(later.empty(), row.ticksLate == 0) << "the time moved or stopped";
        EXPECT_TRUE(program.WindowsTitled(warningTitle).empty()) << "a second warning";
        EXPECT_EQ(program.CloseAndWait(form), 0u);
    }
}

TEST(ClockCorrectorTest, ClosingWhileTheWorkerWaitsForTheNetworkEndsWithZero) {
    LoopbackHttpServer proxy(testing::ServerMode::kAcceptAndNeverAnswer);
    ClockCorrector program(proxy.HostAndPort());
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(proxy.WaitForRequests(1, 10000)) << "the worker never asked";
    EXPECT_EQ(program.CloseAndWait(form), 0u);
}

}  // namespace
}  // namespace kx
