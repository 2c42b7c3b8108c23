#include "child_program.h"

#include <tlhelp32.h>

#include "stopwatch.h"

namespace kx::bench {

namespace {

struct WindowSearch {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK FindVisibleWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<WindowSearch*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK FindUnpaintedChild(HWND window, LPARAM context) {
    if (IsWindowVisible(window) && GetUpdateRect(window, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(context) = true;
        return FALSE;
    }
    return TRUE;
}

// Whether the window or one of its visible children still waits for WM_PAINT.
bool Unpainted(HWND window) {
    bool unpainted = GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted) EnumChildWindows(window, &FindUnpaintedChild, reinterpret_cast<LPARAM>(&unpainted));
    return unpainted;
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

ChildProgram::WindowTimes ChildProgram::WaitForWindow(double timeoutSeconds) {
    WindowTimes times;
    if (!process_.hProcess) return times;
    HWND window = nullptr;
    for (;;) {
        if (!window) {
            WindowSearch search{process_.dwProcessId, nullptr};
            EnumWindows(&FindVisibleWindow, reinterpret_cast<LPARAM>(&search));
            if (search.found) {
                times.visible = SteadySeconds() - startedAt_;
                times.processorAtVisible = ProcessorSeconds();
                window = search.found;
            }
        }
        if (window && !Unpainted(window)) {
            times.painted = SteadySeconds() - startedAt_;
            return times;
        }
        if (SteadySeconds() - startedAt_ > timeoutSeconds ||
            WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0) {
            return {};
        }
        Sleep(1);
    }
}

std::wstring ChildProgram::WindowTexts() const {
    TextSnapshot snapshot{process_.dwProcessId, {}};
    if (process_.hProcess) EnumWindows(&AppendChildTexts, reinterpret_cast<LPARAM>(&snapshot));
    return snapshot.texts;
}

double ChildProgram::ProcessorSeconds() const {
    // The sum over the threads that are alive: Wine answers GetProcessTimes for another
    // process with the caller's own times, but reads each thread's times from the system.
    if (!process_.hProcess) return -1;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return -1;
    double total = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID != process_.dwProcessId) continue;
        HANDLE thread = OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ThreadID);
        if (!thread) continue;
        FILETIME created, exited, kernel, user;
        if (GetThreadTimes(thread, &created, &exited, &kernel, &user)) total += Seconds(kernel) + Seconds(user);
        CloseHandle(thread);
    }
    CloseHandle(snapshot);
    return total;
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
