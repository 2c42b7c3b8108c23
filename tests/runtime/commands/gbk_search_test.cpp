// The text search against a straightforward scan that steps through every character: over
// random texts of lead bytes, letters in both cases and bytes that look like second bytes,
// both searches must give the same position for every start, end and case mode.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "pure/gbk_reference_scan.h"
#include "text/gbk_scan.h"

namespace kx::text {
namespace {

std::string RandomBytes(std::mt19937& random, std::size_t size) {
    // Few distinct bytes, so that matches, near-matches and lead runs are frequent.
    static const char kAlphabet[] = {'a', 'b', 'A', 'B', ' ', '\x40', '\x61', '\x81', '\xA1', '\xB1'};
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kAlphabet - 1);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = kAlphabet[pick(random)];
    return bytes;
}

TEST(GbkSearch, JumpingSearchesFindWhatTheCharacterWalkFinds) {
    std::mt19937 random(20261206);
    std::uniform_int_distribution<std::size_t> textSize(0, 40), soughtSize(1, 4);
    int mismatches = 0;
    for (int round = 0; round < 20000 && mismatches < 10; ++round) {
        const std::string text = RandomBytes(random, textSize(random));
        const std::string sought = RandomBytes(random, soughtSize(random));
        for (bool ignoreCase : {false, true}) {
            for (std::size_t at = 0; at <= text.size() + 1; ++at) {
                const std::size_t forward = FindForward(text, sought, at, ignoreCase);
                const std::size_t backward = FindBackward(text, sought, at, ignoreCase);
                if (forward != reference::FindForward(text, sought, at, ignoreCase) ||
                    backward != reference::FindBackward(text, sought, at, ignoreCase)) {
                    ADD_FAILURE() << "text of " << text.size() << " bytes, sought of " << sought.size()
                                  << ", at " << at << ", ignoring case " << ignoreCase << ": forward "
                                  << forward << ", backward " << backward;
                    ++mismatches;
                }
            }
        }
    }
}

TEST(GbkSearch, LongRunsOfTwoByteCharacters) {
    // A match can only start on an even offset of a run of lead-range bytes that follows
    // an ASCII byte or the walk's origin.
    const std::string run = std::string(1000, '\xB1');
    const std::string text = "a" + run + "\xB1";
    EXPECT_EQ(FindForward(text, "\xB1\xB1", 0, false), 1u);
    EXPECT_EQ(FindForward(text, "\xB1\xB1", 2, false), 2u);   // the walk starts at 2 here
    EXPECT_EQ(FindBackward(text, "\xB1\xB1", text.size(), false), 999u);
    EXPECT_EQ(FindForward(text, "\xB1" "a", 0, false), kNotFound);
}

}  // namespace
}  // namespace kx::text
