// StartThread and the thread library's notifications.
#include "thread_library.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "kx/image_format.h"

namespace kx::threads {
namespace {

std::atomic<Word> g_received{0xFFFFFFFF};
HANDLE g_ran = CreateEventA(nullptr, TRUE, FALSE, nullptr);

DWORD WINAPI Routine(void* parameter) {
    g_received.store(ToWord(parameter));
    SetEvent(g_ran);
    return 17;
}

ValueCell Start(std::vector<ValueCell> arguments) {
    ResetEvent(g_ran);
    ValueCell result = ValueCell::Raw(7, 7, 7);
    StartThread(&result, static_cast<std::int32_t>(arguments.size()), arguments.data());
    return result;
}

const ValueCell kRoutine = ValueCell::Subroutine(ToWord(&Routine));

TEST(StartThreadCommand, StartsTheRoutineWithItsParameterAndWritesNoHandleButToAVariable) {
    Word handle = 99;
    struct Row { const char* name; std::vector<ValueCell> arguments; Word started, parameter; };
    const Row rows[] = {
        {"routine alone", {kRoutine}, 1, 0},
        {"with a parameter", {kRoutine, ValueCell::Integer(1234), ValueCell::Omitted()}, 1, 1234},
        // Word 0 of a cell passed by value is a number, not the address of a variable.
        {"number as handle", {kRoutine, ValueCell::Omitted(), ValueCell::Raw(ToWord(&handle), 0, type_word::kInteger)},
         1, 0},
        {"text as handle",
         {kRoutine, ValueCell::Omitted(), ValueCell::Raw(ToWord(&handle), 0, type_word::kText | type_word::kAddressBit)},
         1, 0},
        {"no arguments", {}, 0, 0},
        {"omitted routine", {ValueCell::Omitted()}, 0, 0},
    };
    for (const Row& row : rows) {
        const ValueCell result = Start(row.arguments);
        EXPECT_EQ(result.low(), row.started) << row.name;
        EXPECT_EQ(result.type(), 0u) << row.name;  // a logical in word 0, type word left 0
        if (row.started) {
            ASSERT_EQ(WaitForSingleObject(g_ran, 10000), WAIT_OBJECT_0) << row.name;
            EXPECT_EQ(g_received.load(), row.parameter) << row.name;
        }
        EXPECT_EQ(handle, 99u) << row.name;
    }
}

TEST(StartThreadCommand, AHandleVariableReceivesTheOpenHandleOrZero) {
    Word handle = 0;
    EXPECT_EQ(Start({kRoutine, ValueCell::Omitted(), ValueCell::Reference(&handle, type_word::kInteger)}).low(), 1u);
    ASSERT_NE(handle, 0u);
    const HANDLE thread = LongToHandle(static_cast<LONG>(handle));
    // Still open: the caller can wait for the thread and read its exit code.
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    DWORD exitCode = 0;
    EXPECT_TRUE(GetExitCodeThread(thread, &exitCode));
    EXPECT_EQ(exitCode, 17u);
    EXPECT_TRUE(CloseHandle(thread));

    // Without a routine the variable learns that no thread exists.
    EXPECT_EQ(Start({ValueCell::Subroutine(0), ValueCell::Integer(1), ValueCell::Reference(&handle, type_word::kInteger)})
                  .low(),
              0u);
    EXPECT_EQ(handle, 0u);
}

TEST(ThreadLibraryNotify, ShutdownDeletesTheOwnedCriticalSectionsAndOtherCodesAreNotHandled) {
    EXPECT_EQ(ThreadLibraryNotify(kNotifyStartup, 0x1234, 0), 0);
    EXPECT_EQ(ThreadLibraryNotify(2, 0, 0), kNotifyNotHandled);
    EXPECT_EQ(ThreadLibraryNotify(0, 0, 0), kNotifyNotHandled);
    auto* first = static_cast<CRITICAL_SECTION*>(NewOwnedCriticalSection());
    NewOwnedCriticalSection();
    ASSERT_NE(first, nullptr);
    EnterCriticalSection(first);  // usable until shutdown
    LeaveCriticalSection(first);
    EXPECT_EQ(OwnedCriticalSectionCount(), 2u);
    EXPECT_EQ(ThreadLibraryNotify(kNotifyShutdown, 0, 0), 0);
    EXPECT_EQ(OwnedCriticalSectionCount(), 0u);
    EXPECT_EQ(ThreadLibraryNotify(kNotifyShutdown, 0, 0), 0);  // nothing left to delete
}

}  // namespace
}  // namespace kx::threads
