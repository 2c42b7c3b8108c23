// The property blocks: each round-trips through its own serialiser, refuses a version above
// its highest and a block cut short anywhere, and leaves its fields alone when it refuses;
// older versions read with the later fields at their defaults.
#include "property_blocks.h"

#include <gtest/gtest.h>

namespace kx::forms {
namespace {

// Returns the block read back from what `filled` wrote.
template <typename Block>
Block ExpectRoundTripAndRefusals(const Block& filled) {
    const auto bytes = filled.Write();
    Block back;
    EXPECT_TRUE(back.Read(bytes));
    EXPECT_EQ(back.Write(), bytes);
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        Block target = filled;
        const std::vector<std::uint8_t> cut(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_FALSE(target.Read(cut)) << size;
        EXPECT_EQ(target.Write(), bytes) << size;
    }
    auto tooNew = bytes;
    tooNew[0] = static_cast<std::uint8_t>(Block::kVersion + 1);
    EXPECT_FALSE(Block().Read(tooNew));
    return back;
}

TEST(PropertyBlocks, EachRoundTripsAndRefusesWhatItCannotRead) {
    WindowBlock window;
    window.title = "Velmo 校时工具";
    window.className = "MyClass";
    window.icon = {1, 2, 3};
    window.alwaysOnTop = 1;
    EXPECT_EQ(ExpectRoundTripAndRefusals(window).title, "Velmo 校时工具");
    LabelBlock label;
    label.text = "北京时间：";
    label.font.assign(kLogFontSize, 7);
    label.text28 = "二十八";
    EXPECT_EQ(ExpectRoundTripAndRefusals(label).text28, "二十八");
    ButtonBlock button;
    button.caption = "同步";
    button.buttonType = 1;
    EXPECT_EQ(ExpectRoundTripAndRefusals(button).caption, "同步");
    TimerBlock timer;
    timer.interval = 1000;
    EXPECT_EQ(ExpectRoundTripAndRefusals(timer).interval, 1000u);
}

TEST(PropertyBlocks, AStoredTimerIntervalIsReadAsSignedAndANegativeOneIsNoTimer) {
    const Word rows[][2] = {{0x7FFFFFFF, 0x7FFFFFFF}, {0x80000000, 0}, {0xFFFFFFFF, 0}, {1, 1}};
    for (const auto& [stored, read] : rows) {
        TimerBlock timer;
        timer.interval = stored;
        TimerBlock back;
        ASSERT_TRUE(back.Read(timer.Write()));
        EXPECT_EQ(back.interval, read) << stored;
    }
}

TEST(PropertyBlocks, AVersionOneLabelEndsAfterItsTextAndAnOldWindowKeepsDefaults) {
    LabelBlock label;
    label.text = "旧";
    auto bytes = label.Write();
    bytes[0] = 1;
    bytes.resize(bytes.size() - 8);  // the two version-2 texts
    LabelBlock read;
    read.text27 = "stale";
    ASSERT_TRUE(read.Read(bytes));
    EXPECT_EQ(read.text, "旧");
    EXPECT_EQ(read.text27, "");
    // A version-1 window block stops after word 25: taskbar button and the rest default.
    WindowBlock window;
    window.title = "t";
    const auto full = window.Write();
    std::vector<std::uint8_t> old(full.begin(), full.begin() + std::ptrdiff_t{14} * 4);
    old[0] = 1;
    old.insert(old.end(), full.end() - (4 + 4 + 4 + 5 + 4), full.end());  // 3 buffers, title, text 24
    WindowBlock readWindow;
    ASSERT_TRUE(readWindow.Read(old));
    EXPECT_EQ(readWindow.taskbarButton, 1u);
    EXPECT_EQ(readWindow.title, "t");
}

}  // namespace
}  // namespace kx::forms
