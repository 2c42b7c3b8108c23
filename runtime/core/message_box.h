// Every message box of the runtime (the run-time error box, the MessageBox command) goes
// through ShowMessageBox, so that tests can put a recorder in place of the real, blocking
// box. Texts are code page 936. Any thread; a seam is installed before threads start.
#pragma once

#include <windows.h>

#include <string>

namespace kx {

struct MessageBoxRequest {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};

class MessageBoxSeam {
public:
    virtual ~MessageBoxSeam() = default;
    // Answers as MessageBoxA would (IDOK, IDCANCEL, ...).
    virtual int Show(const MessageBoxRequest& request) = 0;
};

int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT style);

// Replaces the real box; null restores it. Returns the previous seam.
MessageBoxSeam* SetMessageBoxSeam(MessageBoxSeam* seam);

}  // namespace kx
