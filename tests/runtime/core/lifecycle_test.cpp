// Start-up and shutdown of RuntimeApp, in process: the order of the steps the program and
// its libraries can observe, and what the end routine leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "entries.h"
#include "hidden_owner.h"
#include "runtime_app.h"
#include "test_image.h"

namespace kx {
namespace {

using testing::MakeLibraryDescriptor;
using testing::TestImage;

std::vector<std::string> g_log;

std::int32_t FirstLibraryNotify(std::int32_t code, Word param1, Word param2) {
    g_log.push_back("lib0 notify " + std::to_string(code) + " " +
                    (code == kNotifyStartup ? (param1 == ToWord(&RuntimeService) ? "service" : "other")
                                            : std::to_string(param1)) +
                    " " + std::to_string(param2));
    return 0;
}
std::int32_t ThirdLibraryNotify(std::int32_t code, Word param1, Word) {
    g_log.push_back("lib2 notify " + std::to_string(code) + " " +
                    (code == kNotifyStartup ? std::string("-") : std::to_string(param1)));
    return 0;
}
void ExitRoutineA() { g_log.push_back("exit A"); }
void ExitRoutineB() { g_log.push_back("exit B"); }
int EmptyProgramEntry() { return 0; }

class Lifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        first_ = MakeLibraryDescriptor(nullptr, 0, ToWord(&FirstLibraryNotify));
        withoutNotify_ = MakeLibraryDescriptor(nullptr, 0, 0);
        third_ = MakeLibraryDescriptor(nullptr, 0, ToWord(&ThirdLibraryNotify));
        image_.AddLibrary(&first_);
        image_.AddLibrary(nullptr);
        image_.AddLibrary(&third_);
        image_.AddLibrary(&withoutNotify_);
    }

    TestImage image_;
    LibraryDescriptor first_{}, withoutNotify_{}, third_{};
};

TEST_F(Lifecycle, StartupNotifiesEveryLibraryThatCanBeNotifiedInNumberOrder) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    EXPECT_EQ(g_log, (std::vector<std::string>{"lib0 notify 1 service 0", "lib2 notify 1 -"}));
    ASSERT_EQ(app.libraries().size(), 4u);
    EXPECT_EQ(app.libraries()[1], nullptr);
}

TEST_F(Lifecycle, StartupCopiesTheImageWordsAndFindsItsSurroundings) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    EXPECT_EQ(app.buildKind(), 3u);
    EXPECT_EQ(app.imageWord1(), 0u);
    EXPECT_EQ(app.imageWord2(), 99920u);
    EXPECT_EQ(app.mainThreadId(), GetCurrentThreadId());
    EXPECT_TRUE(app.oleInitialized());

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string full = path;
    EXPECT_EQ(app.programDirectory() + "\\" + app.programFileName(), full);
    EXPECT_EQ(app.programDirectory().back() == '\\', false);
    char current[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, current);
    EXPECT_STREQ(current, app.programDirectory().c_str());

    EXPECT_TRUE(app.IsConstant(image_.constants()));
    EXPECT_TRUE(app.IsConstant(image_.constants() + TestImage::kConstantsSize - 1));
    EXPECT_FALSE(app.IsConstant(image_.constants() + TestImage::kConstantsSize));
}

TEST_F(Lifecycle, HiddenOwnerIsAnInvisibleToolWindowOfItsOwnClass) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    const HWND owner = app.hiddenOwner();
    ASSERT_TRUE(IsWindow(owner));
    char className[64];
    GetClassNameA(owner, className, sizeof className);
    EXPECT_STREQ(className, kHiddenOwnerClass);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_TRUE(GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowTextLengthA(owner), 0);

    app.End(0);
    EXPECT_FALSE(IsWindow(owner));
}

TEST_F(Lifecycle, ShutdownRunsExitRoutinesInOrderThenNotifiesLibrariesWithTheirStateWords) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    g_log.clear();
    app.AddExitRoutine(ToWord(&ExitRoutineB));
    app.AddExitRoutine(ToWord(&ExitRoutineA));
    app.AddExitRoutine(ToWord(&ExitRoutineB));  // a duplicate is not added again

    app.End(0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"exit B", "exit A", "lib0 notify 6 0 0",
                                               "lib2 notify 6 0"}));
    EXPECT_TRUE(app.cleanupStarted());
    EXPECT_TRUE(app.EventsSuppressed());
    EXPECT_FALSE(app.oleInitialized());
}

TEST_F(Lifecycle, TheEndRoutineRunTwiceFindsEverythingEmpty) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    app.AddExitRoutine(ToWord(&ExitRoutineA));
    app.End(0);
    g_log.clear();
    app.End(0);
    EXPECT_TRUE(g_log.empty());
    EXPECT_TRUE(app.exitRoutines().empty());
    EXPECT_TRUE(app.libraries().empty());
}

TEST_F(Lifecycle, NoConstantsBlockLeavesTheRangeEmpty) {
    image_.RemoveConstants();
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    EXPECT_FALSE(app.IsConstant(image_.constants()));
}

TEST_F(Lifecycle, WithoutFormsTheLoopReturnsAtOnceButRemembersItWasEntered) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    EXPECT_FALSE(app.waiting());
    app.RunUntilWindowsClosed();
    EXPECT_TRUE(app.waiting());
}

TEST_F(Lifecycle, SupportModuleSlotsUseThePlaceholdersAndTheMediaPlayer) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    const Word codeBase = image_.header().codeBase;
    for (int slot = 0; slot < kSupportModuleSlotCount; ++slot) {
        const SupportModuleSlot& module = app.supportModule(slot);
        const int started = FromWord<int (*)()>(module.start)();
        const Word play = FromWord<Word (*)(const char*)>(module.lookup)("Play");
        const Word unknown = FromWord<Word (*)(const char*)>(module.lookup)("Stop");
        FromWord<void (*)()>(module.release)();
        if (slot == kMediaPlayerSlot) {
            EXPECT_EQ(started, 1);
            EXPECT_NE(play, 0u);
        } else {
            EXPECT_EQ(module.start, codeBase - 4);
            EXPECT_EQ(module.release, codeBase - 2);
            EXPECT_EQ(started, 0);
            EXPECT_EQ(play, 0u);
        }
        EXPECT_EQ(unknown, 0u);
    }
}

RuntimeApp* g_app = nullptr;

DWORD g_workerExitCode = 0;

DWORD WINAPI WorkerAsksToEnd(void*) {
    g_log.push_back("worker asks");
    RtEndProgram(3);
}

// Runs during the main thread's clean-up: a worker asks to end the program while the main
// thread waits for it, letting sent messages through.
void ExitRoutineWaitingForAWorker() {
    const HANDLE worker = CreateThread(nullptr, 0, WorkerAsksToEnd, nullptr, 0, nullptr);
    while (MsgWaitForMultipleObjects(1, &worker, FALSE, 10000, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    }
    GetExitCodeThread(worker, &g_workerExitCode);
    CloseHandle(worker);
    g_log.push_back("exit routine done");
}

TEST_F(Lifecycle, AnEndRequestWhileTheMainThreadCleansUpReturnsToTheRequestingThread) {
    RuntimeApp app(&image_.header(), EmptyProgramEntry);
    app.InitRuntime();
    g_app = &app;
    app.AddExitRoutine(ToWord(&ExitRoutineWaitingForAWorker));
    app.AddExitRoutine(ToWord(&ExitRoutineA));
    g_log.clear();
    app.End(0);
    // Only the worker ended, with its code; the clean-up went on once, in order.
    EXPECT_EQ(g_log, (std::vector<std::string>{"worker asks", "exit routine done", "exit A",
                                               "lib0 notify 6 0 0", "lib2 notify 6 0"}));
    EXPECT_EQ(g_workerExitCode, 3u);
}

}  // namespace
}  // namespace kx
