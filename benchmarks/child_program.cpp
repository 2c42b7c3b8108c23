#include "child_program.h"

#include "stopwatch.h"

namespace kx::bench {

namespace {

struct WindowSearch {
    DWORD processId;
    bool found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = true;
        return FALSE;
    }
    return TRUE;
}

struct TextSnapshot {
    DWORD processId;
    std::wstring texts;
};

BOOL CALLBACK AppendText(HWND window, LPARAM context) {
    wchar_t text[256];
    const int length = GetWindowTextW(window, text, 256);
    auto* snapshot = reinterpret_cast<TextSnapshot*>(context);
    snapshot->texts.append(text, static_cast<std::size_t>(length)).push_back(L'\n');
    return TRUE;
}

BOOL CALLBACK AppendChildTexts(HWND window, LPARAM context) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == reinterpret_cast<TextSnapshot*>(context)->processId && IsWindowVisible(window)) {
        EnumChildWindows(window, &AppendText, context);
    }
    return TRUE;
}

double Seconds(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) * 100e-9;
}

}  // namespace

ChildProgram::~ChildProgram() { Terminate(); }

bool ChildProgram::Start(const std::wstring& path) {
    Terminate();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + path + L"\"";
    startedAt_ = SteadySeconds();
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process_)) {
        process_ = {};
        return false;
    }
    return true;
}

double ChildProgram::SecondsToVisibleWindow(double timeoutSeconds) {
    if (!process_.hProcess) return -1;
    for (;;) {
        WindowSearch search{process_.dwProcessId, false};
        EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
        const double elapsed = SteadySeconds() - startedAt_;
        if (search.found) return elapsed;
        if (elapsed > timeoutSeconds || WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) return -1;
        Sleep(1);
    }
}

std::wstring ChildProgram::WindowTexts() const {
    TextSnapshot snapshot{process_.dwProcessId, {}};
    if (process_.hProcess) EnumWindows(&AppendChildTexts, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot.texts;
}

double ChildProgram::ProcessorSeconds() const {
    FILETIME created, exited, kernel, user;
    if (!process_.hProcess || !GetProcessTimes(process_.hProcess, &created, &exited, &kernel, &user)) return -1;
    return Seconds(kernel) + Seconds(user);
}

void ChildProgram::Terminate() {
    if (!process_.hProcess) return;
    TerminateProcess(process_.hProcess, 0);
    WaitForSingleObject(process_.hProcess, 10000);
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
    process_ = {};
}

std::wstring OwnFolder() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

}  // namespace kx::bench
