// Calling library commands through the entries: the result cell, the argument cells, and
// the library number a command can see.
#include <vector>

#include "entries.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

struct Seen {
    ValueCell resultOnEntry = ValueCell::Raw(1, 1, 1);
    std::int32_t count = -1;
    bool argsAddressValid = false;
    std::vector<ValueCell> args;
    std::int32_t libraryNumber = -2;
};
Seen g_seen;

void RecordingCommand(ValueCell* result, std::int32_t count, ValueCell* args) {
    g_seen.resultOnEntry = *result;
    g_seen.count = count;
    g_seen.argsAddressValid = args != nullptr;
    g_seen.args.assign(args, args + count);
    g_seen.libraryNumber = CurrentLibraryNumber();
}

void DateResultCommand(ValueCell* result, std::int32_t, ValueCell*) {
    *result = ValueCell::DateTime(46361.5);
}

TEST(CommandCall, ResultCellStartsZeroedAndANonWritingCommandReturnsThreeZeroWords) {
    g_seen = {};
    const ValueCell result = RtCallCoreCommand(ToWord(&RecordingCommand), 0, nullptr);
    EXPECT_EQ(g_seen.resultOnEntry.low(), 0u);
    EXPECT_EQ(g_seen.resultOnEntry.high(), 0u);
    EXPECT_EQ(g_seen.resultOnEntry.type(), 0u);
    EXPECT_EQ(g_seen.count, 0);
    EXPECT_TRUE(g_seen.argsAddressValid);
    EXPECT_EQ(result.low(), 0u);
    EXPECT_EQ(result.high(), 0u);
    EXPECT_EQ(result.type(), 0u);
}

TEST(CommandCall, ArgumentsArriveInOrderWithOmittedOnesAsZeroCells) {
    g_seen = {};
    ValueCell args[] = {ValueCell::Integer(1), ValueCell::Omitted(), ValueCell::Text("x")};
    RtCallCoreCommand(ToWord(&RecordingCommand), 3, args);
    ASSERT_EQ(g_seen.args.size(), 3u);
    EXPECT_EQ(g_seen.args[0].AsInt32(), 1);
    EXPECT_TRUE(g_seen.args[1].omitted());
    EXPECT_EQ(g_seen.args[1].low(), 0u);
    EXPECT_EQ(g_seen.args[1].high(), 0u);
    EXPECT_STREQ(g_seen.args[2].AsText(), "x");
}

TEST(CommandCall, EightByteResultsComeBackWhole) {
    const ValueCell result = RtCallCoreCommand(ToWord(&DateResultCommand), 0, nullptr);
    EXPECT_EQ(result.type(), type_word::kDateTime);
    EXPECT_EQ(result.AsDouble(), 46361.5);
}

TEST(CommandCall, LibraryCommandsSeeTheirLibraryNumberOnlyDuringTheCall) {
    g_seen = {};
    ValueCell args[] = {ValueCell::Integer(5)};
    RtCallLibraryCommand(1, ToWord(&RecordingCommand), 1, args);
    EXPECT_EQ(g_seen.libraryNumber, 1);
    EXPECT_EQ(g_seen.args[0].AsInt32(), 5);
    EXPECT_EQ(CurrentLibraryNumber(), -1);
    RtCallCoreCommand(ToWord(&RecordingCommand), 0, nullptr);
    EXPECT_EQ(g_seen.libraryNumber, -1);
}

}  // namespace
}  // namespace kx
