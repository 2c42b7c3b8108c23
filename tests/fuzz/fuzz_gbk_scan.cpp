// Random bytes through the code page 936 scans: the searches, of known-length texts and of
// NUL-terminated ones at any alignment, must agree with the character walk, replacing must
// write exactly the length it announced, splitting must give back pieces of the text, and
// the rest must stay inside the text. Input: a mode byte, a byte for the sought text's
// length (low three bits) and the alignment (next three), the sought text, then the text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

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
    // The same text NUL-terminated, starting at any alignment; it ends at its first NUL.
    const std::size_t offset = data[1] / 8 % 8;
    std::vector<std::uint64_t> block((offset + text.size()) / 8 + 1);
    char* const terminated = reinterpret_cast<char*>(block.data()) + offset;
    std::memcpy(terminated, text.data(), text.size());
    terminated[text.size()] = '\0';
    const std::string_view beforeNul(terminated);
    const std::size_t end = (mode & 0x40) ? kNotFound : at;
    if (FindForwardInTerminated(terminated, sought, at, ignoreCase) !=
            reference::FindForward(beforeNul, sought, at, ignoreCase) ||
        FindBackwardInTerminated(terminated, sought, end, ignoreCase) !=
            reference::FindBackward(beforeNul, sought, end, ignoreCase)) {
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
