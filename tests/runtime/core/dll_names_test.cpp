#include "dll_names.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

TEST(DllNames, OrdinalsAreTheLow16BitsOfTheNumberAfterTheHash) {
    struct Row { const char* name; std::optional<std::uint16_t> ordinal; };
    const Row rows[] = {
        {"#5", 5},         {"#70000", 4464}, {"#65536", 0}, {"#0", 0},
        {"#", 0},          {"#12abc", 12},   {"GetTickCount", std::nullopt},
        {"", std::nullopt}, {"a#5", std::nullopt},
    };
    for (const Row& row : rows) EXPECT_EQ(ExportOrdinal(row.name), row.ordinal) << row.name;
}

}  // namespace
}  // namespace kx
