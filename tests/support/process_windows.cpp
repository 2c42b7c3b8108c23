#include "process_windows.h"

namespace kx::testing {

namespace {

struct WindowSearch {
    DWORD processId;
    const std::wstring& title;
    const wchar_t* className;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM data) {
    auto& search = *reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search.processId || !IsWindowVisible(window)) return TRUE;
    wchar_t text[256] = {}, name[64] = {};
    GetWindowTextW(window, text, 256);
    GetClassNameW(window, name, 64);
    if (search.title == text && (!search.className || std::wstring(name) == search.className)) {
        search.found.push_back(window);
    }
    return TRUE;
}

}  // namespace

std::vector<HWND> ShownWindowsOf(DWORD processId, const std::wstring& title, const wchar_t* className) {
    WindowSearch search{processId, title, className, {}};
    EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace kx::testing
