// How far the bytes behind a byte array's or array's header really reach: a header that
// claims more than its heap block (or the constants block) holds is not followed past the
// block's end. Any thread.
#pragma once

#include "arguments.h"

namespace kx::commands {

// `bytes`, lying inside `block`, cut at the end of what `block` holds; empty when no byte
// of them is held.
ByteView HeldBytes(const void* block, ByteView bytes);

}  // namespace kx::commands
