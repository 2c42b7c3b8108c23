// The runtime heap (the process heap) and the constants rule: a pointer into the program
// image's constants block may be freed (nothing happens) and resized (a heap copy is made)
// like a heap block. Any thread: the process heap serialises itself.
#pragma once

#include <cstddef>
#include <cstdint>

namespace kx {

void* RtAlloc(std::uint32_t size);
void* RtRealloc(void* address, std::uint32_t size);
void RtFree(void* address);

// Allocation without the failure check: null when the heap has no room.
void* TryAlloc(std::uint32_t size);

// How many bytes can be read from `block` onwards: to the end of the constants block for a
// constant, the block's size for a heap block, 0 when neither is known.
std::size_t ReadableBytes(const void* block);

// A copy of `size` bytes of `data` on the runtime heap.
void* AllocCopy(const void* data, std::uint32_t size);

}  // namespace kx
