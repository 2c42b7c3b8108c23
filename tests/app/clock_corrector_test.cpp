// The clock corrector as a user runs it: the real program started as its own process, its
// network time served by a loopback proxy that answers for every host, its labels and
// boxes read from its windows. ctest runs these tests with the clock moved years ahead for
// this process and the program alike, so 当前时间 agrees with this process's clock only if
// the program reads the clock it is given.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
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
using testing::RunningOnWine;
using testing::ScriptedResponse;
using testing::ServerMode;

constexpr DWORD kStillRunning = 99;
constexpr wchar_t kLocalPrefix[] = L"当前时间：";
constexpr wchar_t kNetworkPrefix[] = L"北京时间：";


// ---- Times as the labels show them -------------------------------------------------------

// Seconds since 1 January 1970 of a civil date and time (proleptic Gregorian).
std::int64_t SecondsOf(int year, int month, int day, int hour, int minute, int second) {
    const int y = year - (month <= 2 ? 1 : 0);
    const int era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = y - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    const std::int64_t days = std::int64_t{era} * 146097 + dayOfEra - 719468;
    return days * 86400 + std::int64_t{hour} * 3600 + std::int64_t{minute} * 60 + second;
}

struct ShownTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    std::int64_t Seconds() const { return SecondsOf(year, month, day, hour, minute, second); }
};

// "2031年7月16日6时30分15秒" after `prefix`; the time of day stops at its last non-zero field.
std::optional<ShownTime> ParseShownTime(const std::wstring& text, const wchar_t* prefix) {
    const std::wstring head(prefix);
    if (text.compare(0, head.size(), head) != 0) return std::nullopt;
    ShownTime shown;
    int* fields[] = {&shown.year, &shown.month, &shown.day, &shown.hour, &shown.minute, &shown.second};
    const wchar_t units[] = L"年月日时分秒";
    std::size_t at = head.size();
    for (int field = 0; field < 6 && at < text.size(); ++field) {
        int value = 0;
        const std::size_t digitsStart = at;
        while (at < text.size() && text[at] >= L'0' && text[at] <= L'9') value = value * 10 + (text[at++] - L'0');
        if (at == digitsStart || at == text.size() || text[at] != units[field]) return std::nullopt;
        *fields[field] = value;
        ++at;
    }
    if (at != text.size() || shown.day == 0) return std::nullopt;
    return shown;
}

std::int64_t LocalNowSeconds() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return SecondsOf(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond);
}

// ---- The program's process and windows -----------------------------------------------------

// This process's environment with http_proxy pointing at `proxy`, which WinHTTP reads when
// the program starts.
std::vector<wchar_t> EnvironmentWithProxy(const std::string& proxy) {
    std::vector<wchar_t> block;
    wchar_t* strings = GetEnvironmentStringsW();
    for (const wchar_t* entry = strings; *entry; entry += wcslen(entry) + 1) {
        if (_wcsnicmp(entry, L"http_proxy=", 11) == 0) continue;
        block.insert(block.end(), entry, entry + wcslen(entry) + 1);
    }
    FreeEnvironmentStringsW(strings);
    const std::wstring ours = L"http_proxy=http://" + std::wstring(proxy.begin(), proxy.end());
    block.insert(block.end(), ours.c_str(), ours.c_str() + ours.size() + 1);
    block.push_back(L'\0');
    return block;
}

class ClockCorrector {
public:
    explicit ClockCorrector(const std::string& proxy) {
        const std::string program = ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe";
        std::wstring commandLine = L"\"" + WidenCp936(program) + L"\"";
        std::vector<wchar_t> environment = EnvironmentWithProxy(proxy);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        if (CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                           environment.data(), nullptr, &startup, &process)) {
            CloseHandle(process.hThread);
            process_ = process.hProcess;
            processId_ = process.dwProcessId;
        } else {
            ADD_FAILURE() << "cannot start " << program << ": " << GetLastError();
        }
    }
    ~ClockCorrector() {
        if (!process_) return;
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) TerminateProcess(process_, kStillRunning);
        CloseHandle(process_);
    }
    ClockCorrector(const ClockCorrector&) = delete;
    ClockCorrector& operator=(const ClockCorrector&) = delete;

    bool started() const { return process_ != nullptr; }

    // The shown top-level windows of the program with this title.
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

    // The program's exit code once it has ended, or kStillRunning after `timeoutMs`.
    DWORD WaitForExit(int timeoutMs) const {
        if (WaitForSingleObject(process_, timeoutMs) != WAIT_OBJECT_0) return kStillRunning;
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
        if (std::wstring(name) != L"_KX_Label") continue;
        GetWindowTextW(child, text, 256);
        if (std::wstring(text).rfind(prefix, 0) == 0) return text;
    }
    return {};
}

// The next network time the form shows that differs from `after` (any, when empty), read
// by polling well within one tick; nullopt when none shows within `timeoutMs`. The form's
// own placeholder text, shown until the first tick, is no time.
std::optional<ShownTime> NextNetworkTime(HWND form, const std::wstring& after, std::wstring* text,
                                         int timeoutMs) {
    for (int waited = 0; waited <= timeoutMs; waited += 20) {
        const std::wstring shown = LabelStartingWith(form, kNetworkPrefix);
        const auto time = ParseShownTime(shown, kNetworkPrefix);
        if (time && shown != after) {
            *text = shown;
            return time;
        }
        Sleep(20);
    }
    return std::nullopt;
}

// The first network time the form shows in `year`, read tick after tick for up to 90 s; the
// placeholder or a time of another year may show first. `text` is left as the label shows it.
std::optional<ShownTime> FirstNetworkTimeIn(HWND form, int year, std::wstring* text) {
    std::optional<ShownTime> shown;
    for (int tries = 0; tries < 30 && !(shown && shown->year == year); ++tries) {
        shown = NextNetworkTime(form, *text, text, 3000);
    }
    return shown && shown->year == year ? shown : std::nullopt;
}

// The message of the warning box: the box's static control.
std::wstring BoxMessage(HWND box) {
    wchar_t text[512] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    return text;
}

class ClockCorrectorTest : public ::testing::Test {
protected:
    static ScriptedResponse Dated(const std::string& date) {
        return {.statusLine = "HTTP/1.1 200 OK", .headerLines = {"Date: " + date}, .body = ""};
    }
    const std::wstring warningTitle_ = WidenCp936("警告");
    const std::wstring warningText_ = WidenCp936("获取网络时间失败，请检查网络设置！");
};

TEST_F(ClockCorrectorTest, ShowsTheServedTimeInBeijingCountingUpBesideTheLocalClock) {
    LoopbackHttpServer proxy;
    proxy.Script({Dated("Tue, 15 Jul 2031 22:30:15 GMT")});
    ClockCorrector program(proxy.HostAndPort());
    ASSERT_TRUE(program.started());
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    // The program carries the icon its window shows in place of the system's generic one
    // (asked of the file: under Wine, WM_GETICON from another process answers 0).
    const std::wstring file = WidenCp936(ExecutableDirectory() + KX_CLOCK_CORRECTOR_DIR "\\clock-corrector.exe");
    HMODULE image = LoadLibraryExW(file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    EXPECT_NE(FindResourceW(image, L"DEFAULT_ICON", reinterpret_cast<LPCWSTR>(RT_GROUP_ICON)), nullptr);
    if (image) FreeLibrary(image);

    // The first tick after the worker stored 06:30:15 the next day shows one second more.
    const std::int64_t served = SecondsOf(2031, 7, 16, 6, 30, 15);
    std::wstring text;
    std::optional<ShownTime> shown = FirstNetworkTimeIn(form, 2031, &text);
    ASSERT_TRUE(shown.has_value()) << "北京时间 never showed the served date";
    EXPECT_GE(shown->Seconds(), served + 1);
    EXPECT_LE(shown->Seconds(), served + 2) << "the served time was shown late";
    // Then one second per tick.
    for (int tick = 1; tick <= 3; ++tick) {
        const std::int64_t before = shown->Seconds();
        shown = NextNetworkTime(form, text, &text, 3000);
        ASSERT_TRUE(shown.has_value()) << "北京时间 stopped";
        EXPECT_EQ(shown->Seconds(), before + 1);
    }

    // 当前时间 is the clock the program sees, the same (faked) clock as this process's.
    const auto local = ParseShownTime(LabelStartingWith(form, kLocalPrefix), kLocalPrefix);
    ASSERT_TRUE(local.has_value());
    const std::int64_t now = LocalNowSeconds();
    EXPECT_GE(local->Seconds(), now - 2);
    EXPECT_LE(local->Seconds(), now);

    // One HEAD for the default page, with the default headers in order, and no warning.
    const auto requests = proxy.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "HEAD");
    // Wine's request object names the default port to a proxy; both forms mean the same page.
    EXPECT_TRUE(requests[0].target == "http://www.baidu.com/" || requests[0].target == "http://www.baidu.com:80/")
        << requests[0].target;
    std::vector<std::string> names;
    for (const auto& [name, value] : requests[0].headers) {
        if (name == "Accept" || name == "Referer" || name == "Accept-Language" || name == "User-Agent") {
            names.push_back(name);
        }
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Accept", "Referer", "Accept-Language", "User-Agent"}));
    EXPECT_EQ(*requests[0].Header("Referer"), "http://www.baidu.com/");
    EXPECT_EQ(*requests[0].Header("Accept-Language"), "zh-cn");
    EXPECT_TRUE(program.WindowsTitled(warningTitle_).empty());

    EXPECT_TRUE(testing::SaveBmp(testing::CaptureWindow(form), ExecutableDirectory() + "clock-corrector.bmp"));
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0u);
}

// Each form of HTTP date shows the instant it states in Beijing; a date that states no exact
// instant shows the year 100 with one warning, and so does a served date whose text holds "100".
TEST_F(ClockCorrectorTest, ShowsEachFormOfDateAndWarnsWhenNoTimeOrOneHundredShows) {
    struct Row {
        const char* date;
        ShownTime shown;  // the network time the worker stores, before any tick
        bool warns;
    };
    const ShownTime in1994{1994, 11, 6, 16, 49, 37}, fallback{100, 1, 1, 0, 0, 0};
    for (const Row& row : {Row{"Sat, 05 Dec 2026 06:00:00 GMT", {2026, 12, 5, 14, 0, 0}, false},
                           Row{"Sunday, 06-Nov-94 08:49:37 GMT", in1994, false},
                           Row{"Sun Nov  6 08:49:37 1994", in1994, false},
                           Row{"Sun, 06 Nov 1994 24:00:00 GMT", fallback, true},
                           Row{"Sun, 06 Nov 1994 08:49:37 +0200", fallback, true},
                           Row{"Fri, 01 Jan 2100 04:00:00 GMT", {2100, 1, 1, 12, 0, 0}, true}}) {
        SCOPED_TRACE(row.date);
        LoopbackHttpServer proxy;
        proxy.Script({Dated(row.date)});
        ClockCorrector program(proxy.HostAndPort());
        HWND form = program.WaitForMainWindow();
        ASSERT_NE(form, nullptr);
        std::wstring text;
        const std::optional<ShownTime> shown = FirstNetworkTimeIn(form, row.shown.year, &text);
        ASSERT_TRUE(shown.has_value());
        // The year 100 stays put; any other time is one or two ticks on when first read.
        EXPECT_GE(shown->Seconds(), row.shown.Seconds());
        EXPECT_LE(shown->Seconds(), row.shown.Seconds() + (row.shown.year == 100 ? 0 : 2));
        // The worker tests the text right after storing it.
        HWND box = program.WaitForWindow(warningTitle_, 3000);
        EXPECT_EQ(box != nullptr, row.warns);
        if (box) {
            EXPECT_EQ(BoxMessage(box), warningText_);
            EXPECT_EQ(program.WindowsTitled(warningTitle_).size(), 1u);
            PostMessageW(box, WM_COMMAND, IDOK, 0);
        }
        PostMessageW(form, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.WaitForExit(10000), 0u);
    }
}

TEST_F(ClockCorrectorTest, WithoutAServerWarnsOnceAndShowsTheYearOneHundred) {
    ClockCorrector program("127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()));
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    HWND box = program.WaitForWindow(warningTitle_, 30000);
    ASSERT_NE(box, nullptr) << "no 警告 box";
    EXPECT_EQ(BoxMessage(box), warningText_);
    EXPECT_EQ(program.WindowsTitled(warningTitle_).size(), 1u);
    PostMessageW(box, WM_COMMAND, IDOK, 0);

    // The earliest date the program keeps stays put, tick after tick, with no second box.
    const std::wstring yearOneHundred = WidenCp936("北京时间：100年1月1日");
    std::wstring text;
    ASSERT_TRUE(NextNetworkTime(form, L"", &text, 3000).has_value());
    for (int sample = 0; sample < 35; ++sample) {
        EXPECT_EQ(LabelStartingWith(form, kNetworkPrefix), yearOneHundred);
        Sleep(100);
    }
    EXPECT_TRUE(program.WindowsTitled(warningTitle_).empty()) << "a second warning";
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0u);
}

TEST_F(ClockCorrectorTest, ClosingWhileTheWorkerWaitsForTheNetworkEndsWithZero) {
    LoopbackHttpServer proxy(ServerMode::kAcceptAndNeverAnswer);
    ClockCorrector program(proxy.HostAndPort());
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(proxy.WaitForRequests(1, 10000)) << "the worker never asked";
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0u);
}

TEST_F(ClockCorrectorTest, AServerThatNeverAnswersGetsTheWarningOnceTheTimeOutsRunOut) {
    // Wine's request object waits for the answer forever, whatever its time-outs say.
    if (RunningOnWine()) GTEST_SKIP() << "the request never times out under Wine";
    LoopbackHttpServer proxy(ServerMode::kAcceptAndNeverAnswer);
    ClockCorrector program(proxy.HostAndPort());
    HWND form = program.WaitForMainWindow();
    ASSERT_NE(form, nullptr);
    HWND box = program.WaitForWindow(warningTitle_, 120000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(BoxMessage(box), warningText_);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PostMessageW(form, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(10000), 0u);
}

}  // namespace
}  // namespace kx
