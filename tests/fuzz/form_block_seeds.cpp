// Writes the seed corpus of fuzz_form_block: the application's own form block, byte for
// byte as the program stores it, and small variants that reach the paths it does not: a
// menu item, an event-owner chain and a loop of owners, a second form, each property block,
// a block cut short. Built and run by tools/make-form-block-seeds.sh.
#include <cstdio>
#include <string>
#include <vector>

#include "form_block.h"
#include "form_block_builder.h"
#include "kx/type_words.h"
#include "property_blocks.h"

namespace {

using namespace kx;
using kx::testing::FormBlockBytes;
using kx::testing::TestUnit;

bool Write(const std::string& folder, const char* name, const std::vector<std::uint8_t>& bytes) {
    const std::string path = folder + "/" + name;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: form_block_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    const std::vector<std::uint8_t> application(image::FormBlock(), image::FormBlock() + image::FormBlockSize());

    forms::WindowBlock window;
    window.title = "标题";
    forms::LabelBlock label;
    forms::ButtonBlock button;
    forms::TimerBlock timer;
    timer.interval = 1000;
    const std::vector<TestUnit> units = {
        {0x06010000, type_word::kWindowType, "", {{0, 0x10}, {12, forms::kNoRoutineOffset}}, window.Write()},
        {0x16010007, type_word::kButtonType, "按钮1", {{0, 0x18}, {-7, 0x20}}, button.Write()},
        {0x16010008, type_word::kButtonType, "按钮2", {}, button.Write(), 5, 0x16010007},
        {0x16010003, type_word::kLabelType, "标签2", {{0, 0x28}}, label.Write(), 1, 0x16010004},
        {0x16010004, type_word::kLabelType, "标签3", {}, label.Write(), 1, 0x16010003},  // owners loop
        {0x16010002, type_word::kTimerType, "时钟1", {{0, 0x30}}, timer.Write()},
        {0x26010005, 0x00010003, "菜单", {{0, 0x38}}},
    };
    const auto variants = FormBlockBytes({{0x52010001, units, "主窗口"}, {0x52010002, {units[0]}, ""}});
    const std::vector<std::uint8_t> cut(application.begin(), application.begin() + application.size() / 2);

    const bool written = Write(folder, "application", application) && Write(folder, "units_of_each_kind", variants) &&
                         Write(folder, "cut_short", cut);
    return written ? 0 : 1;
}
