#include "command_text_ops.h"

#include "kx/program_calls.h"
#include "program_values.h"

namespace http_module {

namespace {

using kx::ValueCell;
using kx::image::CoreCommand;
using kx::program::CallCore;

// Text arguments are never null (the commands read them directly): each view is copied
// into a terminated buffer that lives as long as the call.
class TextArgument {
public:
    explicit TextArgument(std::string_view text) : bytes_(text) {}
    ValueCell cell() const { return ValueCell::Text(bytes_.c_str()); }

private:
    std::string bytes_;
};

// A text result's bytes; the result is freed.
std::string TakeText(const ValueCell& result) {
    Word text = result.low();
    std::string bytes(TextOf(text));
    FreeValue(&text);
    return bytes;
}

}  // namespace

std::int32_t CommandTextOps::Find(std::string_view text, std::string_view sought,
                                  std::int32_t start, bool ignoreCase) {
    const TextArgument a(text), b(sought);
    return CallCore(CoreCommand::kFindText, {a.cell(), b.cell(), ValueCell::Integer(start),
                                             ValueCell::Logical(ignoreCase)})
        .AsInt32();
}

std::int32_t CommandTextOps::FindBackwards(std::string_view text, std::string_view sought,
                                           std::int32_t start, bool ignoreCase) {
    const TextArgument a(text), b(sought);
    return CallCore(CoreCommand::kFindTextBackwards,
                    {a.cell(), b.cell(), ValueCell::Integer(start), ValueCell::Logical(ignoreCase)})
        .AsInt32();
}

std::string CommandTextOps::Left(std::string_view text, std::int32_t n) {
    const TextArgument a(text);
    return TakeText(CallCore(CoreCommand::kLeftText, {a.cell(), ValueCell::Integer(n)}));
}

std::string CommandTextOps::Right(std::string_view text, std::int32_t n) {
    const TextArgument a(text);
    return TakeText(CallCore(CoreCommand::kRightText, {a.cell(), ValueCell::Integer(n)}));
}

std::string CommandTextOps::Mid(std::string_view text, std::int32_t start, std::int32_t n) {
    const TextArgument a(text);
    return TakeText(CallCore(CoreCommand::kMidText,
                             {a.cell(), ValueCell::Integer(start), ValueCell::Integer(n)}));
}

std::string CommandTextOps::Replace(std::string_view text, std::string_view sought,
                                    std::string_view replacement, bool caseSensitive) {
    const TextArgument a(text), b(sought), c(replacement);
    return TakeText(CallCore(CoreCommand::kReplaceSubtext,
                             {a.cell(), b.cell(), c.cell(), ValueCell::Omitted(),
                              ValueCell::Omitted(), ValueCell::Logical(caseSensitive)}));
}

std::vector<std::string> CommandTextOps::Split(std::string_view text, std::string_view delimiter) {
    const TextArgument a(text), b(delimiter);
    Word pieces = CallCore(CoreCommand::kSplitText, {a.cell(), b.cell()}).low();
    std::vector<std::string> texts = TextsOf(pieces);
    FreeTextArray(&pieces);
    return texts;
}

std::string CommandTextOps::Trim(std::string_view text) {
    const TextArgument a(text);
    return TakeText(CallCore(CoreCommand::kTrimSpaces, {a.cell()}));
}

std::string CommandTextOps::Upper(std::string_view text) {
    const TextArgument a(text);
    return TakeText(CallCore(CoreCommand::kToUpperCase, {a.cell()}));
}

}  // namespace http_module
