// Base64 against the vectors of RFC 4648 and bytes that are not text, and joining byte runs.
#include "base64.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace http_module {
namespace {

std::span<const std::uint8_t> Bytes(const std::string& text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

TEST(Base64, EncodesTheRfc4648VectorsAndNeverBreaksLines) {
    const std::pair<std::string, std::string> rows[] = {
        {"", ""},           {"f", "Zg=="},         {"fo", "Zm8="},
        {"foo", "Zm9v"},    {"foob", "Zm9vYg=="},  {"fooba", "Zm9vYmE="},
        {"foobar", "Zm9vYmFy"},
        {std::string("\0\0\0", 3), "AAAA"},
        {"\xFF\xFE\xFD", "//79"},
        {"\xFB\xFF", "+/8="},
    };
    for (const auto& [input, expected] : rows) EXPECT_EQ(Base64Encode(Bytes(input)), expected) << expected;
    const std::string encoded = Base64Encode(Bytes(std::string(200, 'x')));
    EXPECT_EQ(encoded.size(), 268u);
    EXPECT_EQ(encoded.find_first_of("\r\n"), std::string::npos);
}

TEST(ConcatBytes, JoinsRunsInOrderAndSkipsEmptyOnes) {
    const std::vector<std::uint8_t> a = {1, 2}, zero = {0}, none;
    EXPECT_EQ(ConcatBytes({none, a, none, zero}), (std::vector<std::uint8_t>{1, 2, 0}));
    EXPECT_TRUE(ConcatBytes({none, none}).empty());
}

}  // namespace
}  // namespace http_module
