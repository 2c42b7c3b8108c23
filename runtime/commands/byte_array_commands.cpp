// Byte-array commands: length, a blank array, a part of an array.
#include <algorithm>
#include <cstring>

#include "arguments.h"
#include "core_commands.h"
#include "held_bytes.h"
#include "results.h"

namespace kx::commands {

void ByteArrayLength(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Integer(static_cast<std::int32_t>(in.Bytes(0).size));
}

void BlankByteArray(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const std::int32_t length = in.Integer(0);
    ByteArrayHeader* block = length > 0 ? NewByteArray(static_cast<std::uint64_t>(length)) : nullptr;
    if (block) std::memset(BytesOf(block), 0, static_cast<std::size_t>(length));
    *result = ByteArrayResult(block);
}

void MidByteArray(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    const ByteView bytes = HeldBytes(in[0].AsAddress<const void*>(), in.Bytes(0));
    const auto size = static_cast<std::int64_t>(bytes.size);
    const std::int64_t start = std::clamp<std::int64_t>(in.Integer(1), 1, size + 1);
    const std::int64_t wanted = std::max<std::int32_t>(in.Integer(2), 0);
    const std::int64_t length = std::min(wanted, size - (start - 1));
    *result = ByteArrayResult(
        length > 0 ? NewByteArrayCopy(bytes.data + (start - 1), static_cast<std::uint64_t>(length))
                   : nullptr);
}

}  // namespace kx::commands
