// StartThread and the thread library's notifications.
#include "thread_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

#include "kx/image_format.h"

namespace kx::threads {
namespace {

std::atomic<Word> g_received{0xFFFFFFFF};
HANDLE g_ran = nullptr;

DWORD WINAPI Routine(void* parameter) {
    g_received.store(ToWord(parameter));
    SetEvent(g_ran);
    return 17;
}

class StartThreadCommand : public ::testing::Test {
protected:
    void SetUp() override {
        g_received.store(0xFFFFFFFF);
        g_ran = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    void TearDown() override { CloseHandle(g_ran); }

    ValueCell Start(std::initializer_list<ValueCell> arguments) {
        ValueCell cells[3];
        std::int32_t count = 0;
        for (const ValueCell& cell : arguments) cells[count++] = cell;
        ValueCell result;
        StartThread(&result, count, cells);
        return result;
    }
    bool Ran() { return WaitForSingleObject(g_ran, 10000) == WAIT_OBJECT_0; }

    const ValueCell routine_ = ValueCell::Subroutine(ToWord(&Routine));
};

TEST_F(StartThreadCommand, OneArgumentStartsTheRoutineWithParameterZero) {
    const ValueCell result = Start({routine_});
    EXPECT_EQ(result.low(), 1u);
    EXPECT_EQ(result.type(), 0u);  // a logical in word 0, type word left 0
    ASSERT_TRUE(Ran());
    EXPECT_EQ(g_received.load(), 0u);
}

TEST_F(StartThreadCommand, AParameterWithoutAHandleVariableReachesTheRoutine) {
    EXPECT_EQ(Start({routine_, ValueCell::Integer(1234), ValueCell::Omitted()}).low(), 1u);
    ASSERT_TRUE(Ran());
    EXPECT_EQ(g_received.load(), 1234u);
}

TEST_F(StartThreadCommand, AHandleVariableReceivesTheOpenHandle) {
    Word handle = 0;
    EXPECT_EQ(Start({routine_, ValueCell::Omitted(), ValueCell::Reference(&handle, type_word::kInteger)}).low(), 1u);
    ASSERT_NE(handle, 0u);
    const HANDLE thread = LongToHandle(static_cast<LONG>(handle));
    // Still open: the caller can wait for the thread and read its exit code.
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
    EXPECT_EQ(exitCode, 17u);
    EXPECT_TRUE(CloseHandle(thread));
}

TEST_F(StartThreadCommand, AHandleArgumentThatIsNoVariableIsNotWrittenThrough) {
    // Word 0 of a cell passed by value is a number, not the address of a variable.
    Word handle = 99;
    const Word notVariables[] = {type_word::kInteger, type_word::kText | type_word::kAddressBit};
    for (Word type : notVariables) {
        ResetEvent(g_ran);
        EXPECT_EQ(Start({routine_, ValueCell::Omitted(), ValueCell::Raw(ToWord(&handle), 0, type)}).low(), 1u);
        ASSERT_TRUE(Ran());
        EXPECT_EQ(handle, 99u) << std::hex << type;
    }
}

TEST_F(StartThreadCommand, WithoutARoutineNoThreadIsStarted) {
    Word handle = 99;
    EXPECT_EQ(Start({}).low(), 0u);
    EXPECT_EQ(Start({ValueCell::Omitted()}).low(), 0u);
    EXPECT_EQ(Start({ValueCell::Subroutine(0), ValueCell::Integer(1),
                     ValueCell::Reference(&handle, type_word::kInteger)}).low(), 0u);
    EXPECT_EQ(handle, 0u);  // the variable learns that no thread exists
    EXPECT_EQ(WaitForSingleObject(g_ran, 100), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(ThreadLibraryNotify, StartupAndShutdownAnswerZeroOtherCodesMinusOne) {
    EXPECT_EQ(ThreadLibraryNotify(kNotifyStartup, 0x1234, 0), 0);
    EXPECT_EQ(ThreadLibraryNotify(kNotifyShutdown, 0, 0), 0);  // nothing to delete
    EXPECT_EQ(ThreadLibraryNotify(2, 0, 0), kNotifyNotHandled);
    EXPECT_EQ(ThreadLibraryNotify(0, 0, 0), kNotifyNotHandled);
}

TEST(ThreadLibraryNotify, ShutdownDeletesTheOwnedCriticalSections) {
    auto* first = static_cast<CRITICAL_SECTION*>(NewOwnedCriticalSection());
    NewOwnedCriticalSection();
    ASSERT_NE(first, nullptr);
    EnterCriticalSection(first);  // usable until shutdown
    LeaveCriticalSection(first);
    EXPECT_EQ(OwnedCriticalSectionCount(), 2u);
    EXPECT_EQ(ThreadLibraryNotify(kNotifyShutdown, 0, 0), 0);
    EXPECT_EQ(OwnedCriticalSectionCount(), 0u);
}

}  // namespace
}  // namespace kx::threads
