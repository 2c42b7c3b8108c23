#include "base64.h"

namespace http_module {

namespace {
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}  // namespace

std::string Base64Encode(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return {};
    const std::size_t remainder = bytes.size() % 3;
    // The started group is completed with zero bytes; its surplus characters become "=".
    const std::vector<std::uint8_t> padded =
        ConcatBytes({bytes, std::vector<std::uint8_t>(remainder ? 3 - remainder : 0)});
    std::string out;
    out.reserve(padded.size() / 3 * 4);
    for (std::size_t i = 0; i < padded.size(); i += 3) {
        const std::uint8_t b1 = padded[i], b2 = padded[i + 1], b3 = padded[i + 2];
        out += kAlphabet[b1 >> 2];
        out += kAlphabet[((b1 & 3) << 4) | (b2 >> 4)];
        out += kAlphabet[((b2 & 15) << 2) | (b3 >> 6)];
        out += kAlphabet[b3 & 63];
    }
    if (remainder == 1) out.replace(out.size() - 2, 2, "==");
    if (remainder == 2) out.back() = '=';
    return out;
}

std::vector<std::uint8_t> ConcatBytes(std::initializer_list<std::span<const std::uint8_t>> runs) {
    std::size_t total = 0;
    for (const auto& run : runs) total += run.size();
    std::vector<std::uint8_t> out;
    out.reserve(total);
    for (const auto& run : runs) out.insert(out.end(), run.begin(), run.end());
    return out;
}

}  // namespace http_module
