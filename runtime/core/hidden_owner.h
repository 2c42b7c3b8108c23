// The hidden owner window: an invisible tool window on the main thread that receives the
// end request of other threads.
#pragma once

#include <windows.h>

namespace kx {

inline constexpr UINT kEndRequestMessage = WM_APP + 999;  // 0x83E7, wParam = exit code
inline constexpr char kHiddenOwnerClass[] = "_KX_HideOwner";

// Registers the class (once) and creates the window; null when either fails.
HWND CreateHiddenOwnerWindow();

}  // namespace kx
