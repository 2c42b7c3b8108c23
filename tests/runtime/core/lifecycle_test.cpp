// Start-up and shutdown of RuntimeApp, in process: the order of the steps the program and
// its libraries can observe, and what the end routine leaves behind.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "entries.h"
#include "hidden_owner.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

using testing::MakeLibraryDescriptor;
using testing::TestImage;

std::vector<std::string> g_log;

template <int kNumber>
std::int32_t RecordingNotify(std::int32_t code, Word param1, Word param2) {
    const bool service = code == kNotifyStartup && param1 == ToWord(&RuntimeService);
    g_log.push_back("lib" + std::to_string(kNumber) + " notify " + std::to_string(code) + " " +
                    (service ? "service" : std::to_string(param1)) + " " + std::to_string(param2));
    return 0;
}
template <char kName>
void ExitRoutine() { g_log.push_back(std::string("exit ") + kName); }

// Four libraries: two that want notices, a null entry and one without a notify routine.
class Lifecycle : public testing::RuntimeTest {
protected:
    void SetUp() override {
        g_log.clear();
        first_ = MakeLibraryDescriptor(nullptr, 0, ToWord(&RecordingNotify<0>));
        withoutNotify_ = MakeLibraryDescriptor(nullptr, 0, 0);
        third_ = MakeLibraryDescriptor(nullptr, 0, ToWord(&RecordingNotify<2>));
        image_.AddLibrary(&first_);
        image_.AddLibrary(nullptr);
        image_.AddLibrary(&third_);
        image_.AddLibrary(&withoutNotify_);
        RuntimeTest::SetUp();
    }

    LibraryDescriptor first_{}, withoutNotify_{}, third_{};
};

TEST_F(Lifecycle, StartupNotifiesTheLibrariesCopiesTheImageWordsAndFindsItsSurroundings) {
    EXPECT_EQ(g_log, (std::vector<std::string>{"lib0 notify 1 service 0", "lib2 notify 1 service 0"}));
    // The null entry keeps its place, so library numbers stay as the image gives them.
    ASSERT_EQ(app_->libraries().size(), 4u);
    EXPECT_EQ(app_->libraries()[1], nullptr);
    EXPECT_EQ(app_->imageWord2(), 99920u);
    EXPECT_TRUE(app_->oleInitialized());

    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(app_->programDirectory() + "\\" + app_->programFileName(), path);
    EXPECT_EQ(app_->programDirectory(), std::filesystem::current_path().string());

    EXPECT_TRUE(app_->IsConstant(image_.constants()));
    EXPECT_TRUE(app_->IsConstant(image_.constants() + TestImage::kConstantsSize - 1));
    EXPECT_FALSE(app_->IsConstant(image_.constants() + TestImage::kConstantsSize));

    // The hidden owner: an invisible, untitled tool window of its own class.
    const HWND owner = app_->hiddenOwner();
    char className[64] = {};
    GetClassNameA(owner, className, sizeof className);
    EXPECT_STREQ(className, kHiddenOwnerClass);
    EXPECT_FALSE(IsWindowVisible(owner));
    EXPECT_TRUE(GetWindowLongA(owner, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    EXPECT_EQ(GetWindowTextLengthA(owner), 0);

    // Without forms the loop returns at once but remembers it was entered.
    EXPECT_FALSE(app_->waiting());
    app_->RunUntilWindowsClosed();
    EXPECT_TRUE(app_->waiting());
}

TEST_F(Lifecycle, ShutdownRunsExitRoutinesInOrderThenNotifiesLibrariesOnceWithTheirStateWords) {
    g_log.clear();
    app_->AddExitRoutine(ToWord(&ExitRoutine<'B'>));
    app_->AddExitRoutine(ToWord(&ExitRoutine<'A'>));
    app_->AddExitRoutine(ToWord(&ExitRoutine<'B'>));  // a duplicate is not added again
    const HWND owner = app_->hiddenOwner();

    app_->End(0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"exit B", "exit A", "lib0 notify 6 0 0", "lib2 notify 6 0 0"}));
    EXPECT_TRUE(app_->EventsSuppressed());
    EXPECT_FALSE(app_->oleInitialized());
    EXPECT_FALSE(IsWindow(owner));

    // Run twice, the end routine finds everything empty.
    g_log.clear();
    app_->End(0);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(Lifecycle, SupportModuleSlotsUseThePlaceholdersAndTheMediaPlayer) {
    const Word codeBase = image_.header().codeBase;
    for (int slot = 0; slot < kSupportModuleSlotCount; ++slot) {
        const SupportModuleSlot& module = app_->supportModule(slot);
        const int started = FromWord<int (*)()>(module.start)();
        const Word play = FromWord<Word (*)(const char*)>(module.lookup)("Play");
        EXPECT_EQ(FromWord<Word (*)(const char*)>(module.lookup)("Stop"), 0u);
        FromWord<void (*)()>(module.release)();
        const bool player = slot == kMediaPlayerSlot;
        EXPECT_EQ(started, player ? 1 : 0) << slot;
        EXPECT_EQ(play != 0, player) << slot;
        if (!player) {
            EXPECT_EQ(module.start, codeBase - 4);
            EXPECT_EQ(module.release, codeBase - 2);
        }
    }
}

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
    app_->AddExitRoutine(ToWord(&ExitRoutineWaitingForAWorker));
    app_->AddExitRoutine(ToWord(&ExitRoutine<'A'>));
    g_log.clear();
    app_->End(0);
    // Only the worker ended, with its code; the clean-up went on once, in order.
    EXPECT_EQ(g_log, (std::vector<std::string>{"worker asks", "exit routine done", "exit A", "lib0 notify 6 0 0",
                                               "lib2 notify 6 0 0"}));
    EXPECT_EQ(g_workerExitCode, 3u);
}

}  // namespace
}  // namespace kx
