#include "error_text.h"

#include <cstdio>

namespace kx {

namespace {

const char* const kNumberedMessages[kErrorMessageCount + 1] = {
    "",                                                        // 0: no message
    "数组成员引用下标超出定义范围",                            // 1
    "未得到所需要的数值型数据",                                // 2
    "引用数组成员时维数不为1且不等于该数组目前所具有的维数",  // 3
    "数组成员引用下标必须大于等于1",                           // 4
    "数据或数组类型不匹配",                                    // 5
    "调用DLL命令后发现堆栈错误",                               // 6
    "子语句参数未返回数据或者返回了非系统基本类型或数组型数据",  // 7
    "被比较数据只能使用等于或不等于命令比较",                  // 8
    "“多项选择”命令的索引值参数小于零或超出了所提供参数表范围",  // 9
    "“重定义数组”命令的数组维定义参数值必须大于零或单维时大于等于零",  // 10
    "所提供参数的数据类型不符合要求",                          // 11
};
static_assert(sizeof kNumberedMessages / sizeof kNumberedMessages[0] == kErrorMessageCount + 1);

constexpr std::uint32_t kMissingUnitTopByte = 0x26;

void AppendQuoted(std::string& out, const std::string& tag) {
    out += "\r\n\"";
    out += tag;
    out += '"';
}

std::string LocationPart(std::int32_t location1, std::int32_t location2,
                         const forms::FormCollection& forms) {
    char numbers[64];
    std::snprintf(numbers, sizeof numbers, "\r\n%d, %d", location1, location2);
    std::string part = numbers;

    const auto formId = static_cast<std::uint32_t>(location1);
    if (formId != 0 && (formId & kLocationKindMask) == kLocationKindForm) {
        const forms::FormTemplate* form = forms.Find(formId);
        if (!form) {
            part += "\r\n未找到所指定的窗口";
        } else {
            // Both lines quote a tag text: the form's is its own unit's.
            AppendQuoted(part, form->UnitTag(0).value_or(""));
            const auto unitId = static_cast<std::uint32_t>(location2);
            const auto tag = form->UnitTag(unitId);
            if (tag && (unitId >> 24) != kMissingUnitTopByte) {
                AppendQuoted(part, *tag);
            } else {
                part += "\r\n未找到所指定的窗口组件";
            }
        }
    }
    part += "\r\n";
    return part;
}

}  // namespace

const char* NumberedErrorMessage(std::int32_t code) {
    if (code < 1 || code > kErrorMessageCount) return "";
    return kNumberedMessages[code];
}

std::string BuildErrorReportText(const char* message, std::int32_t code, std::int32_t location1,
                                 std::int32_t location2, const forms::FormCollection& forms) {
    std::string text = "运行时出错!\r\n";
    if (code != 0) text += "\r\n错误代码：" + std::to_string(code) + "\r\n";
    if (message && *message) {
        text += "\r\n错误信息：";
        text += message;
        text += "\r\n";
    }
    text += LocationPart(location1, location2, forms);
    return text;
}

std::string OutOfMemoryMessage(std::uint32_t requestedSize) {
    char text[64];
    std::snprintf(text, sizeof text, fixed_error::kOutOfMemoryFormat,
                  static_cast<int>(static_cast<std::int32_t>(requestedSize)));
    return text;
}

}  // namespace kx
