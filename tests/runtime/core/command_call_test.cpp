// Calling library commands through the entries: the result cell, the argument cells, and
// the library number a command can see.
#include <array>
#include <vector>

#include "entries.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

struct Seen {
    ValueCell resultOnEntry = ValueCell::Raw(1, 1, 1);
    const ValueCell* argsAddress = nullptr;
    std::vector<ValueCell> args;
    std::int32_t libraryNumber = -2;
};
Seen g_seen;

void RecordingCommand(ValueCell* result, std::int32_t count, ValueCell* args) {
    g_seen = {*result, args, std::vector<ValueCell>(args, args + count), CurrentLibraryNumber()};
}

void DateResultCommand(ValueCell* result, std::int32_t, ValueCell*) { *result = ValueCell::DateTime(46361.5); }

std::array<Word, 3> WordsOf(const ValueCell& cell) { return {cell.low(), cell.high(), cell.type()}; }

TEST(CommandCall, TheResultStartsZeroedAndArgumentsArriveInOrderWithOmittedOnesAsZeroCells) {
    const ValueCell result = RtCallCoreCommand(ToWord(&RecordingCommand), 0, nullptr);
    EXPECT_EQ(WordsOf(g_seen.resultOnEntry), (std::array<Word, 3>{}));
    EXPECT_NE(g_seen.argsAddress, nullptr);
    EXPECT_EQ(WordsOf(result), (std::array<Word, 3>{}));  // a command that writes no result

    ValueCell args[] = {ValueCell::Integer(1), ValueCell::Omitted(), ValueCell::Text("x")};
    RtCallCoreCommand(ToWord(&RecordingCommand), 3, args);
    ASSERT_EQ(g_seen.args.size(), 3u);
    EXPECT_EQ(g_seen.args[0].AsInt32(), 1);
    EXPECT_EQ(WordsOf(g_seen.args[1]), (std::array<Word, 3>{}));
    EXPECT_STREQ(g_seen.args[2].AsText(), "x");

    // Eight-byte results come back whole.
    const ValueCell date = RtCallCoreCommand(ToWord(&DateResultCommand), 0, nullptr);
    EXPECT_EQ(date.type(), type_word::kDateTime);
    EXPECT_EQ(date.AsDouble(), 46361.5);
}

TEST(CommandCall, LibraryCommandsSeeTheirLibraryNumberOnlyDuringTheCall) {
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
