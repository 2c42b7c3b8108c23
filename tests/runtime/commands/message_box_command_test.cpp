// The MessageBox command: what it asks of the message-box seam and how it maps the answer.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

#include "command_calls.h"
#include "core_commands.h"
#include "forwarding_form_layer.h"
#include "recording_message_boxes.h"
#include "runtime_app.h"
#include "test_image.h"

namespace kx {
namespace {

using namespace kx::testing;

const ValueCell kOmitted = ValueCell::Omitted();
const HWND kOwner = static_cast<HWND>(LongToHandle(0x1234));

TEST(MessageBoxCommand, MessageTitleStyleAndOwner) {
    const Word bytes[] = {1, 2, 0x6968};
    const ValueCell window = ValueCell::Raw(0x52010001, 0x06010000, type_word::kWindowType);
    struct Row { Cells arguments; std::string text, caption; UINT style; HWND owner; };
    const Row rows[] = {
        {{T("hello")}, "hello", "信息：", 0x2000, nullptr},
        {{T("x"), I(0x30)}, "x", "信息：", 0x2030, nullptr},
        {{T("x"), I(0x1030), T("标题")}, "x", "标题", 0x1030, nullptr},
        {{I(42), kOmitted, kOmitted, I(0x1234)}, "42", "信息：", 0x2000, kOwner},
        {{ValueCell::Logical(true), kOmitted, kOmitted, window}, "真", "信息：", 0x2000, kOwner},
        {{ValueCell::DateTime(46361.0), kOmitted, kOmitted, T("owner")}, "2026年12月5日", "信息：", 0x2000, nullptr},
        {{ValueCell::ByteArray(bytes)}, "", "信息：", 0x2000, nullptr},
        {{ValueCell::Text(nullptr), kOmitted, ValueCell::Text(nullptr)}, "", "", 0x2000, nullptr},
        {{}, "", "信息：", 0x2000, nullptr},
    };
    // The form layer answers: the start form's window has handle 0x1234.
    struct OneWindow final : ForwardingFormLayer {
        void* UnitWindowHandle(Word formId, Word unitId) override {
            return formId == 0x52010001 && unitId == 0x06010000 ? LongToHandle(0x1234) : nullptr;
        }
    } oneWindow;
    TestImage image;
    auto app = std::make_unique<RuntimeApp>(&image.header(), [] { return 0; }, &oneWindow);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        RecordingMessageBoxes boxes;
        Call(commands::MessageBoxCommand, rows[i].arguments);
        const auto requests = boxes.requests();
        ASSERT_EQ(requests.size(), 1u);
        const Row& row = rows[i];
        EXPECT_EQ(std::tie(requests[0].text, requests[0].caption, requests[0].style, requests[0].owner),
                  std::tie(row.text, row.caption, row.style, row.owner)) << "row " << i;
    }
    app.reset();  // without a runtime no window value names a window
    RecordingMessageBoxes boxes;
    Call(commands::MessageBoxCommand, {T("x"), kOmitted, kOmitted, window});
    EXPECT_EQ(boxes.requests().at(0).owner, nullptr);
}

TEST(MessageBoxCommand, AnswersAreButtonNumbers) {
    const std::pair<int, const char*> rows[] = {{IDOK, "#0"}, {IDCANCEL, "#1"}, {IDABORT, "#2"}, {IDRETRY, "#3"},
                                                {IDIGNORE, "#4"}, {IDYES, "#5"}, {IDNO, "#6"}, {0, "#0"},
                                                {IDCLOSE, "#0"}, {IDTRYAGAIN, "#0"}};
    for (const auto& [answer, button] : rows) {
        RecordingMessageBoxes boxes(answer);
        EXPECT_EQ(Shown(Call(commands::MessageBoxCommand, {T("?"), I(MB_YESNOCANCEL)})), button) << answer;
    }
}

}  // namespace
}  // namespace kx
