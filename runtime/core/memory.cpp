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

bool IsConstant(const void* address) {
    RuntimeApp* app = RuntimeApp::Current();
    return app && app->IsConstant(address);
}

// Every block must be storable in a 32-bit word.
void* Checked(void* block) {
    ToWord(block);
    return block;
}

}  // namespace

void* TryAlloc(std::uint32_t size) {
    void* block = HeapAlloc(RuntimeHeap(), 0, size);
    return block ? Checked(block) : nullptr;
}

void* RtAlloc(std::uint32_t size) {
    void* block = TryAlloc(size);
    if (!block) ReportOutOfMemory(size);
    return block;
}

void* RtRealloc(void* address, std::uint32_t size) {
    if (!address) return RtAlloc(size);
    if (IsConstant(address)) {
        const std::size_t available = RuntimeApp::Current()->ConstantBytesFrom(address);
        void* copy = RtAlloc(size);
        std::memcpy(copy, address, std::min<std::size_t>(size, available));
        return copy;
    }
    void* block = HeapReAlloc(RuntimeHeap(), 0, address, size);
    if (!block) ReportOutOfMemory(size);
    return Checked(block);
}

void RtFree(void* address) {
    if (!address || IsConstant(address)) return;
    HeapFree(RuntimeHeap(), 0, address);
}

void* AllocCopy(const void* data, std::uint32_t size) {
    void* block = RtAlloc(size);
    if (size) std::memcpy(block, data, size);
    return block;
}

}  // namespace kx
