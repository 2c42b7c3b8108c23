// Blocks below 4 GiB for tests that hand an address to code that keeps it in a word. The
// Windows builds keep the whole process low, so there a block is an ordinary heap block. The
// native x86-64 build takes blocks from one MAP_32BIT mapping, each between poisoned red
// zones so that AddressSanitizer still sees its bounds. Blocks live as long as the process.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <type_traits>

#if !defined(_WIN32)
#include <sys/mman.h>
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/asan_interface.h>
#endif
#endif
#endif

#ifndef ASAN_POISON_MEMORY_REGION
#define ASAN_POISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#define ASAN_UNPOISON_MEMORY_REGION(address, size) ((void)(address), (void)(size))
#endif

namespace kx::testing {

// A zeroed block of `size` bytes (the mapping starts zeroed and is never reused).
inline void* LowBlock(std::size_t size) {
#if defined(_WIN32)
    return std::calloc(1, size == 0 ? 1 : size);
#else
    constexpr std::size_t kArenaSize = std::size_t{64} << 20;
    constexpr std::size_t kRedZone = 32;  // poisoned bytes behind every block
    static unsigned char* const base = [] {
        void* mapping =
            mmap(nullptr, kArenaSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_32BIT, -1, 0);
        if (mapping == MAP_FAILED) std::abort();
        ASAN_POISON_MEMORY_REGION(mapping, kArenaSize);
        return static_cast<unsigned char*>(mapping);
    }();
    static std::size_t used = kRedZone;  // a red zone before the first block as well
    const std::size_t step = ((size == 0 ? 1 : size) + 15) / 16 * 16 + kRedZone;
    if (step > kArenaSize - used) std::abort();  // a test that needs more than the arena holds is itself wrong
    unsigned char* block = base + used;
    used += step;
    ASAN_UNPOISON_MEMORY_REGION(block, size);
    return block;
#endif
}

// A low copy of a value or an array, for the cells and blocks tests hand over by address.
template <typename T>
T* LowCopy(const T& value) {
    static_assert(std::is_trivially_copyable_v<T>);
    return static_cast<T*>(std::memcpy(LowBlock(sizeof(T)), &value, sizeof(T)));
}

template <typename T, std::size_t N>
T* LowCopy(const T (&array)[N]) {
    static_assert(std::is_trivially_copyable_v<T>);
    return static_cast<T*>(std::memcpy(LowBlock(sizeof(array)), array, sizeof(array)));
}

}  // namespace kx::testing
