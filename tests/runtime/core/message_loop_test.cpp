// The message loop's idle phase: callbacks run last to first while their window lives, the
// idle hook decides when idle work stops, and the quit message ends the loop.
#include <windows.h>

#include <string>
#include <vector>

#include "runtime_fixture.h"

namespace kx {
namespace {

std::vector<std::string> g_calls;
int g_passesBeforeQuit = 0;

void __stdcall IdleFirst(Word argument) { g_calls.push_back("first " + std::to_string(argument)); }
void __stdcall IdleSecond(Word argument) {
    g_calls.push_back("second " + std::to_string(argument));
    if (--g_passesBeforeQuit == 0) PostQuitMessage(0);
}

// Message-only windows, which no stray message from the desktop reaches; destroyed at the end.
class MessageLoop : public testing::RuntimeTest {
protected:
    HWND MakeWindow() {
        windows_.push_back(CreateWindowExA(0, "STATIC", "", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr));
        return windows_.back();
    }
    void TearDown() override {
        for (HWND window : windows_) DestroyWindow(window);
        RuntimeTest::TearDown();
    }

    std::vector<HWND> windows_;
};

TEST_F(MessageLoop, IdleCallbacksRunLastToFirstDroppingThoseOfDestroyedWindows) {
    const HWND gone = MakeWindow();
    const HWND alive = MakeWindow();
    g_calls.clear();
    g_passesBeforeQuit = 1;
    app_->AddIdleCallback(alive, ToWord(&IdleSecond), 2);
    app_->AddIdleCallback(gone, ToWord(&IdleFirst), 9);
    app_->AddIdleCallback(alive, ToWord(&IdleFirst), 1);
    DestroyWindow(gone);
    app_->RunMessageLoop();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first 1", "second 2"}));
    EXPECT_EQ(app_->idleCallbacks().size(), 2u);
}

TEST_F(MessageLoop, NoIdlePassRunsWhileMessagesAreWaiting) {
    const HWND window = MakeWindow();
    g_calls.clear();
    app_->AddIdleCallback(window, ToWord(&IdleFirst), 7);
    PostMessageA(window, WM_USER, 0, 0);
    PostQuitMessage(0);
    app_->RunMessageLoop();
    EXPECT_TRUE(g_calls.empty());
}

TEST_F(MessageLoop, TheIdleHookPassesCountUpFromZeroAndThenStop) {
    const HWND window = MakeWindow();
    g_calls.clear();
    app_->AddIdleCallback(window, ToWord(&IdleFirst), 4);
    // The framework's idle hook wants two passes (counts 0 and 1); a timer ends the loop a
    // while later, by which time idle work has long stopped.
    struct Quit {
        static void CALLBACK OnTimer(HWND w, UINT, UINT_PTR id, DWORD) {
            KillTimer(w, id);
            PostQuitMessage(0);
        }
    };
    SetTimer(window, 3, 200, Quit::OnTimer);
    app_->RunMessageLoop();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"first 4", "first 4"}));
}

}  // namespace
}  // namespace kx
