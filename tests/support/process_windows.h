// The windows another process shows, found by title: tests that start a program read its
// forms and boxes this way. Other test processes may show windows of the same class and
// title at the same time, so every search names its process.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace kx::testing {

// The shown top-level windows of process `processId` titled `title`, of class `className`
// (null: any class), in the system's window order.
std::vector<HWND> ShownWindowsOf(DWORD processId, const std::wstring& title, const wchar_t* className = nullptr);

}  // namespace kx::testing
