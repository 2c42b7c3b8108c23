// Which directory entries the file search service accepts, by attribute mask.
#include "file_search_rules.h"

#include <gtest/gtest.h>

namespace kx {
namespace {

TEST(FileSearchRules, AcceptsByAttributeMask) {
    constexpr std::uint32_t kReadOnly = 0x01, kHidden = 0x02, kArchive = 0x20, kNormal = 0x80;
    struct Row {
        std::uint32_t attributes, mask;
        bool filesOnly, accepted;
    };
    const Row rows[] = {
        {0, 0, true, true},
        {kArchive | kHidden, 0, true, true},
        {kDirectoryAttribute, 0, true, false},
        {kDirectoryAttribute | kArchive, kArchive, true, false},  // files only wins over the mask
        {0, 0, false, true},
        {kArchive, 0, false, false},
        {kNormal, 0, false, false},
        {kReadOnly | kArchive, kHidden, false, false},
        {kReadOnly | kArchive, kHidden | kArchive, false, true},
        {kDirectoryAttribute, kDirectoryAttribute, false, true},
        {kNormal, kNormal, false, false},      // outside the five: the mask limits to them
        {0, kNormal, false, true},             // a mask of outside bits alone acts as 0
        {kNormal, 0xFFFFFFFF, false, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(AcceptsFoundEntry(row.attributes, row.mask, row.filesOnly), row.accepted)
            << row.attributes << " " << row.mask << " " << row.filesOnly;
    }
}

}  // namespace
}  // namespace kx
