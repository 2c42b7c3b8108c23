// The text commands. Text arguments are code page 936 bytes; a cell that is not a text
// reads as the empty text (arguments.h).
#include <algorithm>
#include <cstring>

#include "arguments.h"
#include "core_commands.h"
#include "results.h"
#include "text/gbk_scan.h"

namespace kx::commands {

namespace {

// 1-based position from a scan result; -1 when not found.
ValueCell PositionResult(std::size_t found) {
    return ValueCell::Integer(found == text::kNotFound ? -1 : static_cast<std::int32_t>(found + 1));
}

// A 1-based start argument as a 0-based byte index, raised to 0.
std::size_t StartIndex(std::int32_t start) {
    return start > 1 ? static_cast<std::size_t>(start) - 1 : 0;
}

}  // namespace

void TextLength(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Integer(static_cast<std::int32_t>(in.Text(0).size()));
}

// Both searches measure the text themselves, word by word, instead of a strlen pass first.
void FindText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = PositionResult(text::FindForwardInTerminated(in.TerminatedText(0), in.Text(1),
                                                           StartIndex(in.Integer(2, 1)), in.Logical(3)));
}

void FindTextBackwards(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::size_t end = in.Given(2) ? StartIndex(in.Integer(2)) : text::kNotFound;
    *result = PositionResult(text::FindBackwardInTerminated(in.TerminatedText(0), in.Text(1), end,
                                                            in.Logical(3)));
}

void LeftText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    const std::int32_t n = in.Integer(1);
    *result = TextResult(n < 1 ? nullptr : NewText(subject.substr(0, static_cast<std::size_t>(n))));
}

void RightText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    const std::int32_t n = in.Integer(1);
    if (n < 1) {
        *result = TextResult(nullptr);
        return;
    }
    const std::size_t length = std::min(subject.size(), static_cast<std::size_t>(n));
    *result = TextResult(NewText(subject.substr(subject.size() - length)));
}

void MidText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    const std::int32_t start = in.Integer(1);
    const std::int32_t n = in.Integer(2);
    if (start < 1 || static_cast<std::size_t>(start) > subject.size() || n < 1) {
        *result = TextResult(nullptr);
        return;
    }
    *result = TextResult(NewText(subject.substr(static_cast<std::size_t>(start) - 1,
                                                static_cast<std::size_t>(n))));
}

void ReplaceSubtext(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    text::Replacement request;
    request.text = in.Text(0);
    request.sought = in.Text(1);
    request.replacement = in.Text(2);
    request.start = StartIndex(in.Integer(3, 1));
    // A negative count never counts down to zero, so it replaces every occurrence, as
    // leaving the count out does.
    request.limit = in.Given(4) ? in.Integer(4) : -1;
    request.caseSensitive = in.Logical(5);
    char* replaced = NewTextBuffer(text::ReplacedLength(request));
    if (replaced) text::WriteReplaced(request, replaced);
    *result = TextResult(replaced);
}

void SplitText(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    const std::string_view delimiter = in.Given(1) ? in.Text(1) : std::string_view(",");
    const std::int64_t limit = in.Given(2) ? std::max<std::int32_t>(in.Integer(2), 0) : -1;

    std::uint32_t pieces = 0;
    text::ForEachPiece(subject, delimiter, limit, [&](std::string_view) { ++pieces; });
    Word* block = NewWordArray(pieces);
    Word* element = block + 2;
    text::ForEachPiece(subject, delimiter, limit,
                       [&](std::string_view piece) { *element++ = ToWord(NewText(piece)); });
    *result = TextArrayResult(block);
}

void TrimSpaces(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = TextResult(NewText(text::TrimBlanks(in.Text(0))));
}

void ToUpperCase(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    char* upper = NewText(subject);
    if (upper) text::UpperCaseAscii(upper, subject.size());
    *result = TextResult(upper);
}

void CharCodeAt(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::string_view subject = in.Text(0);
    const std::int32_t position = in.Integer(1, 1);
    std::int32_t code = 0;
    if (position >= 1 && static_cast<std::size_t>(position) <= subject.size()) {
        // The code is the byte read as signed: 0xA8 answers -88.
        code = static_cast<signed char>(subject[static_cast<std::size_t>(position) - 1]);  // NOLINT(bugprone-signed-char-misuse)
    }
    *result = ValueCell::Integer(code);
}

void CharFromCode(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const char byte = static_cast<char>(in.Integer(0) & 0xFF);
    *result = TextResult(byte ? NewText(std::string_view(&byte, 1)) : nullptr);
}

}  // namespace kx::commands
