// How a DLL command's entry name names its export. Pure logic; any thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kx {

// "#" and a decimal number ask for that ordinal, limited to its low 16 bits ("#70000" is
// ordinal 4464); any other name asks for the export of that name.
constexpr std::optional<std::uint16_t> ExportOrdinal(std::string_view entryName) {
    if (entryName.empty() || entryName.front() != '#') return std::nullopt;
    std::uint32_t number = 0;
    for (char c : entryName.substr(1)) {
        if (c < '0' || c > '9') break;
        number = number * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return static_cast<std::uint16_t>(number & 0xFFFF);
}

}  // namespace kx
