// Base64 of RFC 4648 (standard alphabet, "=" padding, no line breaks) and joining byte
// runs. Pure logic; any thread.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace http_module {

std::string Base64Encode(std::span<const std::uint8_t> bytes);

// The runs' bytes in order; empty runs count as nothing.
std::vector<std::uint8_t> ConcatBytes(std::initializer_list<std::span<const std::uint8_t>> runs);

}  // namespace http_module
