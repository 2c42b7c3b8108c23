// A small window framework: an application object with start, exit and idle hooks and a
// message pump. The runtime's RuntimeApp is built on it. Main thread only.
#pragma once

#include <windows.h>

#include <atomic>

namespace kx {

class AppFramework {
public:
    virtual ~AppFramework() = default;

    // The framework's main routine: the start hook; when it answers 0 the framework skips
    // its own message loop; either way the exit hook's answer is the process exit code.
    int Main();

    // Retrieves and dispatches one message into the caller's `message`; false when it was
    // the quit message. Any thread may pump its own queue; each caller owns its MSG.
    bool PumpMessage(MSG& message);
    // False for messages that must not re-arm idle work (paint, the caret timer, a mouse
    // move that did not move).
    bool IsIdleMessage(const MSG& message);

    // The message loop, until the quit message: while no message waits and idle work is
    // armed, idle passes; then messages, each of which may re-arm idle work.
    void RunMessageLoop();

protected:
    virtual int InitInstance() = 0;
    // The framework's own exit processing: the exit code carried by the last quit message.
    virtual int ExitInstance() { return quitExitCode_; }
    // One pass of idle work; answers whether another pass is wanted. The framework's own
    // work wants one pass after each message that re-armed idle work.
    virtual bool OnIdle(long idleCount) { return idleCount < 1; }

private:
    POINT lastMousePosition_{-1, -1};
    UINT lastMouseMessage_ = 0;
    std::atomic<int> quitExitCode_{0};
};

}  // namespace kx
