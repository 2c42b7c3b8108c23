// The MessageBox command: a message box through the runtime's message-box seam, which
// converts the code page 936 texts for the system.
#include <windows.h>

#include <string>

#include "arguments.h"
#include "core_commands.h"
#include "message_box.h"
#include "text/value_text.h"
#include "window_handles.h"

namespace kx::commands {

namespace {

constexpr char kDefaultTitle[] = "信息：";
constexpr UINT kSystemModal = 0x1000;
constexpr UINT kTaskModal = 0x2000;

HWND OwnerOf(const Arguments& in) {
    const ValueCell& owner = in[3];
    switch (owner.type()) {
        case type_word::kWindowType: return static_cast<HWND>(WindowHandleOf(owner));
        case type_word::kByte:
        case type_word::kShort:
        case type_word::kInteger: return static_cast<HWND>(LongToHandle(in.Integer(3)));
        default: return nullptr;
    }
}

// The system's answer as a 0-based button number: OK, Cancel, Abort, Retry, Ignore, Yes,
// No; anything else counts as OK.
std::int32_t ButtonNumber(int answer) {
    return answer >= IDOK && answer <= IDNO ? answer - IDOK : 0;
}

}  // namespace

void MessageBoxCommand(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    text::TextScratch scratch;
    const std::string message(text::IsScalarTextKind(in[0].type()) ? text::TextOfValue(in[0], scratch)
                                                                   : std::string_view());
    const std::string title(in.Given(2) ? in.Text(2) : std::string_view(kDefaultTitle));
    auto style = static_cast<UINT>(in.Integer(1, 0));
    if ((style & kSystemModal) == 0) style |= kTaskModal;
    const int answer = ShowMessageBox(OwnerOf(in), message.c_str(), title.c_str(), style);
    *result = ValueCell::Integer(ButtonNumber(answer));
}

}  // namespace kx::commands
