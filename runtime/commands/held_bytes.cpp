#include "held_bytes.h"

#include <algorithm>

#include "memory.h"

namespace kx::commands {

ByteView HeldBytes(const void* block, ByteView bytes) {
    if (!block || !bytes.data || bytes.size == 0) return {};
    const std::size_t readable = ReadableBytes(block);
    const auto offset = static_cast<std::size_t>(bytes.data - static_cast<const std::uint8_t*>(block));
    if (offset >= readable) return {};
    return {bytes.data, std::min(bytes.size, readable - offset)};
}

}  // namespace kx::commands
