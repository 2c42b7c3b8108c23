// Random bytes through the code page 936 scans: the searches must agree with the character
// walk, replacing must write exactly the length it announced, splitting must give back
// pieces of the text, and the rest must stay inside the text. Input: a mode byte, a length
// byte for the sought text, the sought text, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "pure/gbk_reference_scan.h"
#include "text/gbk_scan.h"

using namespace kx::text;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t mode = data[0];
    const std::size_t soughtSize = data[1] % 8 < size - 2 ? data[1] % 8 : size - 2;
    const std::string sought(reinterpret_cast<const char*>(data + 2), soughtSize);
    const std::string text(reinterpret_cast<const char*>(data + 2 + soughtSize), size - 2 - soughtSize);
    const bool ignoreCase = mode & 1;
    const std::size_t at = (mode >> 1) % (text.size() + 2);

    if (FindForward(text, sought, at, ignoreCase) != reference::FindForward(text, sought, at, ignoreCase) ||
        FindBackward(text, sought, at, ignoreCase) != reference::FindBackward(text, sought, at, ignoreCase)) {
        std::abort();
    }

    const Replacement replacement{text, sought, "<>", at, (mode & 0x40) ? 1 : -1, (mode & 0x80) != 0};
    const std::uint64_t length = ReplacedLength(replacement);
    std::string replaced(static_cast<std::size_t>(length), '\0');
    WriteReplaced(replacement, replaced.data());
    if (ReplacedLength(replacement) != length) std::abort();

    std::size_t pieceBytes = 0;
    ForEachPiece(text, sought, (mode & 0x20) ? 2 : -1, [&](std::string_view piece) {
        if (piece.data() < text.data() || piece.data() + piece.size() > text.data() + text.size()) std::abort();
        pieceBytes += piece.size();
    });
    if (pieceBytes > text.size()) std::abort();

    const std::string_view trimmed = TrimBlanks(text);
    if (trimmed.size() > text.size()) std::abort();
    std::string upper = text;
    UpperCaseAscii(upper.data(), upper.size());
    (void)LeadingFoldedInteger(text);
    return 0;
}
