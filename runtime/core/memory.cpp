#include "memory.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "errors.h"
#include "kx/word.h"
#include "runtime_app.h"

namespace kx {

namespace {

HANDLE RuntimeHeap() {
    RuntimeApp* app = RuntimeApp::Current();
    return app ? app->heap() : GetProcessHeap();
}

// Bytes from `address` to the end of the constants block; 0 when it is not a constant.
std::size_t ConstantBytesFrom(const void* address) {
    const RuntimeApp* app = RuntimeApp::Current();
    return app ? app->ConstantBytesFrom(address) : 0;
}

// A block that a 32-bit word cannot hold is of no use to program code: it counts as memory
// that could not be had. (Wine places very large blocks above 4 GiB whatever the image says.)
void* Addressable(void* block) {
    if (block && !FitsWord(block)) {
        HeapFree(RuntimeHeap(), 0, block);
        return nullptr;
    }
    return block;
}

}  // namespace

void* TryAlloc(std::uint32_t size) { return Addressable(HeapAlloc(RuntimeHeap(), 0, size)); }

void* RtAlloc(std::uint32_t size) {
    void* block = TryAlloc(size);
    if (!block) ReportOutOfMemory(size);
    return block;
}

void* RtRealloc(void* address, std::uint32_t size) {
    if (!address) return RtAlloc(size);
    if (const std::size_t available = ConstantBytesFrom(address)) {
        void* copy = RtAlloc(size);
        std::memcpy(copy, address, std::min<std::size_t>(size, available));
        return copy;
    }
    void* block = HeapReAlloc(RuntimeHeap(), 0, address, size);
    if (block && !FitsWord(block)) {
        // Moved out of reach: move it back into a block a word can hold, or fail.
        void* low = TryAlloc(size);
        if (low) std::memcpy(low, block, size);
        HeapFree(RuntimeHeap(), 0, block);
        block = low;
    }
    if (!block) ReportOutOfMemory(size);
    return block;
}

void RtFree(void* address) {
    if (!address || ConstantBytesFrom(address)) return;
    HeapFree(RuntimeHeap(), 0, address);
}

std::size_t ReadableBytes(const void* block) {
    if (!block) return 0;
    if (const std::size_t constant = ConstantBytesFrom(block)) return constant;
    const SIZE_T size = HeapSize(RuntimeHeap(), 0, block);
    return size == static_cast<SIZE_T>(-1) ? 0 : size;
}

void* AllocCopy(const void* data, std::uint32_t size) {
    void* block = RtAlloc(size);
    if (size) std::memcpy(block, data, size);
    return block;
}

}  // namespace kx
