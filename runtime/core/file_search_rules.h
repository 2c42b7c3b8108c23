// Which directory entries the file search service accepts. Pure logic.
#pragma once

#include <cstdint>

namespace kx {

inline constexpr std::uint32_t kFindAttributeMaskLimit = 0x37;  // ro, hidden, system, dir, archive
inline constexpr std::uint32_t kDirectoryAttribute = 0x10;

// filesOnly: anything that is not a directory. Otherwise, with the mask limited to the five
// attributes: mask 0 takes only entries with no attribute at all, any other mask takes
// entries that have at least one of its attributes.
constexpr bool AcceptsFoundEntry(std::uint32_t attributes, std::uint32_t mask, bool filesOnly) {
    if (filesOnly) return (attributes & kDirectoryAttribute) == 0;
    mask &= kFindAttributeMaskLimit;
    if (mask == 0) return attributes == 0;
    return (attributes & mask) != 0;
}

}  // namespace kx
