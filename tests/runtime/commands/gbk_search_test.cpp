// The text searches against a straightforward scan that steps through every character: over
// random texts of lead bytes, letters in both cases and bytes that look like second bytes,
// at every alignment, the searches of known-length and of NUL-terminated texts must give
// the same position for every start, end and case mode.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "pure/gbk_reference_scan.h"
#include "text/gbk_scan.h"

namespace kx::text {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    // Few distinct bytes, so that matches, near-matches and lead runs are frequent.
    // A NUL ends the text for the searches of terminated texts.
    static const char kAlphabet[] = {'a', 'b', 'A', 'B', ' ', '\x40', '\x61', '\x81', '\xA1', '\xB1', '\0'};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = kAlphabet[pick(random)];
    return bytes;
}

// Places `text` `offset` bytes into the zeroed, aligned `block`, NUL-terminated and followed
// by `beyond`, bytes that would match if a search ran past the terminator; so both kinds of
// search read it at every alignment of its start and its end.
std::string_view Place(std::vector<std::uint64_t>& block, const std::string& text, std::size_t offset,
                       const std::string& beyond) {
    block.assign((offset + text.size() + 1 + beyond.size()) / 8 + 1, 0);
    char* start = reinterpret_cast<char*>(block.data()) + offset;
    std::memcpy(start, text.data(), text.size());
    std::memcpy(start + text.size() + 1, beyond.data(), beyond.size());
    return {start, text.size()};
}

// Every search against the character walk for every start and end (and none); false with a
// message when one differs.
::testing::AssertionResult AllSearchesAgree(std::string_view text, const std::string& sought) {
    const std::string_view beforeNul(text.data());
    for (bool ignoreCase : {false, true}) {
        for (std::size_t i = 0; i <= text.size() + 2; ++i) {
            const std::size_t at = i == text.size() + 2 ? kNotFound : i;
            const std::size_t found[] = {FindForward(text, sought, at, ignoreCase),
                                         FindForwardInTerminated(text.data(), sought, at, ignoreCase),
                                         FindBackward(text, sought, at, ignoreCase),
                                         FindBackwardInTerminated(text.data(), sought, at, ignoreCase)};
            const std::size_t expected[] = {reference::FindForward(text, sought, at, ignoreCase),
                                            reference::FindForward(beforeNul, sought, at, ignoreCase),
                                            reference::FindBackward(text, sought, at, ignoreCase),
                                            reference::FindBackward(beforeNul, sought, at, ignoreCase)};
            for (std::size_t k = 0; k < std::size(found); ++k) {
                if (found[k] == expected[k]) continue;
                return ::testing::AssertionFailure()
                       << "search " << k << " (forward, forward terminated, backward, backward terminated) in "
                       << ::testing::PrintToString(std::string(text)) << " for " << ::testing::PrintToString(sought)
                       << " at " << at << ", ignoring case " << ignoreCase << ": " << found[k] << ", not "
                       << expected[k];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(GbkSearch, JumpingSearchesFindWhatTheCharacterWalkFinds) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> textSize(0, 40), soughtSize(1, 4), offset(0, 7);
    std::vector<std::uint64_t> block;
    int mismatches = 0;
    for (int round = 0; round < 20000 && mismatches < 10; ++round) {
        const std::string text = RandomBytes(random, textSize(random));
        const std::string sought = RandomBytes(random, soughtSize(random));
        const ::testing::AssertionResult agree =
            AllSearchesAgree(Place(block, text, offset(random), RandomBytes(random, 12)), sought);
        EXPECT_TRUE(agree);
        mismatches += !agree;
    }
}

// Matches at both ends and cut off by them, for every length up to five words and every
// alignment, where the word-at-a-time scans change from whole words to single bytes.
TEST(GbkSearch, EveryLengthAndAlignment) {
    struct Row { const char *filler, *sought, *head, *tail, *beyond; };  // filler repeated to the length
    const Row rows[] = {
        {"x", "Ab", "ab", "aB", "Ab"},               // matches at both ends, in either case
        {"x", "ab", "", "a", "b"},                   // cut off by the terminator
        {"x", "", "", "", ""},                       // nothing sought
        {"\xB1", "\xB1\xB1", "", "", ""},            // a run of lead bytes: even offsets only
        {"\xB1", "\xB1" "A", "", "", "A"},           // a lone lead byte at the end, "A" beyond
        {"\x81\x41", "A", "", "a", ""},              // letters as second bytes
        {"\x81\x41", "\x81\x61", "", "", ""},        // the second byte is compared exactly
        {"\x81\x41", "\x41\x81", "", "\x41", ""},    // a match that would start on a second byte
        {"ab", "ba", "", "", ""},
    };
    std::vector<std::uint64_t> block;
    for (const Row& row : rows) {
        for (std::size_t length = 0; length <= 40; ++length) {
            std::string text;
            while (text.size() < length) text += row.filler;
            text = (row.head + text).substr(0, length);
            const std::string tail = row.tail;
            if (tail.size() <= text.size()) text.replace(text.size() - tail.size(), tail.size(), tail);
            for (std::size_t offset = 0; offset < 8; ++offset) {
                EXPECT_TRUE(AllSearchesAgree(Place(block, text, offset, row.beyond), row.sought))
                    << "filler " << ::testing::PrintToString(std::string(row.filler)) << ", offset " << offset;
            }
        }
    }
}

TEST(GbkSearch, TerminatedTextsInBlocksOfTheirOwnSize) {
    // The word holding the terminator reaches past such a block; the sanitized build checks
    // that only that word's read, which cannot cross a page, goes there.
    for (std::size_t length = 0; length < 20; ++length) {
        const std::unique_ptr<char[]> text(new char[length + 1]);
        std::memset(text.get(), 'a', length);
        text[length] = '\0';
        EXPECT_EQ(FindForwardInTerminated(text.get(), "a", length / 2, false), length == 0 ? kNotFound : length / 2);
        EXPECT_EQ(FindForwardInTerminated(text.get(), "b", 0, false), kNotFound);
        EXPECT_EQ(FindBackwardInTerminated(text.get(), "A", kNotFound, true), length == 0 ? kNotFound : length - 1);
    }
}

TEST(GbkSearch, LongRunsOfTwoByteCharacters) {
    // A match can only start on an even offset of a run of lead-range bytes that follows
    // an ASCII byte or the walk's origin.
    const std::string text = "a" + std::string(1000, '\xB1') + "\xB1";
    EXPECT_EQ(FindForward(text, "\xB1\xB1", 0, false), 1u);
    EXPECT_EQ(FindForward(text, "\xB1\xB1", 2, false), 2u);  // the walk starts at 2 here
    EXPECT_EQ(FindBackward(text, "\xB1\xB1", text.size(), false), 999u);
    EXPECT_EQ(FindForward(text, "\xB1" "a", 0, false), kNotFound);
}

}  // namespace
}  // namespace kx::text
