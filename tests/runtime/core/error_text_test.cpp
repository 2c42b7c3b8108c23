// The exact text of the run-time error box.
#include "error_text.h"

#include <gtest/gtest.h>

#include <memory>

#include "form_block_builder.h"
#include "kx/type_words.h"

namespace kx {
namespace {

TEST(ErrorText, EachKindOfReport) {
    const forms::FormCollection noForms;
    struct Row {
        const char* message;
        std::int32_t code, location1, location2;
        std::string text;
    };
    const Row rows[] = {
        {NumberedErrorMessage(9), 9, 67187709, 511,
         "运行时出错!\r\n\r\n错误代码：9\r\n\r\n错误信息：“多项选择”命令的索引值参数小于零或超出了所提供参数表范围"
         "\r\n\r\n67187709, 511\r\n"},
        {NumberedErrorMessage(2), 2, 0, 0,
         "运行时出错!\r\n\r\n错误代码：2\r\n\r\n错误信息：未得到所需要的数值型数据\r\n\r\n0, 0\r\n"},
        {"", 0, 0, 0, "运行时出错!\r\n\r\n0, 0\r\n"},
        {nullptr, 0, -1, 2, "运行时出错!\r\n\r\n-1, 2\r\n"},
        {"载入启动窗口失败", 0, 0x52010001, 0,
         "运行时出错!\r\n\r\n错误信息：载入启动窗口失败\r\n\r\n1375797249, 0\r\n未找到所指定的窗口\r\n"},
        {NumberedErrorMessage(1), 1, 0x02000001, 5,
         "运行时出错!\r\n\r\n错误代码：1\r\n\r\n错误信息：数组成员引用下标超出定义范围\r\n\r\n33554433, 5"
         "\r\n未找到所指定的窗口\r\n"},
        // Another kind in bits 24-27 is only a number.
        {"x", 0, 0x01000001, 5, "运行时出错!\r\n\r\n错误信息：x\r\n\r\n16777217, 5\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BuildErrorReportText(row.message, row.code, row.location1, row.location2, noForms),
                  row.text);
    }
}

TEST(ErrorText, LocationsNamingALoadedFormShowItsTags) {
    forms::FormCollection forms;
    const auto block = testing::FormBlockBytes(
        {{0x52010001,
          {{.id = 0x06010000, .typeId = type_word::kWindowType, .name = "", .tag = "窗口标记"},
           {.id = 0x16010003, .typeId = type_word::kLabelType, .name = "标签2", .tag = "标签标记"},
           {0x26010005, 0x00010003, "菜单"}},
          "主窗口"}});
    ASSERT_TRUE(forms.Load(block.data(), static_cast<std::uint32_t>(block.size())));

    const std::string head = "运行时出错!\r\n\r\n";
    struct Row { std::int32_t unit; std::string tail; };
    const Row rows[] = {
        {0x16010003, "1375797249, 369164291\r\n\"窗口标记\"\r\n\"标签标记\"\r\n"},
        {0, "1375797249, 0\r\n\"窗口标记\"\r\n\"窗口标记\"\r\n"},  // the form's own unit
        {0x16019999, "1375797249, 369203609\r\n\"窗口标记\"\r\n未找到所指定的窗口组件\r\n"},
        // A unit whose id has the top byte 0x26 counts as missing.
        {0x26010005, "1375797249, 637599749\r\n\"窗口标记\"\r\n未找到所指定的窗口组件\r\n"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BuildErrorReportText("", 0, 0x52010001, row.unit, forms), head + row.tail);
    }
}

TEST(ErrorText, CodesOutsideTheTableHaveNoMessageAndSizesShowSigned) {
    for (int code : {0, 12, -3}) EXPECT_STREQ(NumberedErrorMessage(code), "") << code;
    EXPECT_EQ(OutOfMemoryMessage(100), "分配 100 字节内存失败!");
    EXPECT_EQ(OutOfMemoryMessage(0x80000000u), "分配 -2147483648 字节内存失败!");
    EXPECT_EQ(OutOfMemoryMessage(0xFFFFFFF0u), "分配 -16 字节内存失败!");
}

}  // namespace
}  // namespace kx
