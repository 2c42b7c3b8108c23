// The 32-bit word and the one pair of helpers that turn addresses into words and back.
// Value cells, array blocks and the program image hold addresses as 32-bit words in both
// builds; an address at or above 4 GiB can never be stored, and trying is a run-time error.
// Pure header, no platform types; callable from any thread.
#pragma once

#include <cstdint>

namespace kx {

using Word = std::uint32_t;

// Reports an address that does not fit a word and ends the process. Never returns.
[[noreturn]] void FailAddressAboveWordRange(const volatile void* address);

// Address -> word. The only place where a pointer becomes an integer.
inline Word ToWord(const volatile void* address) {
    const auto value = reinterpret_cast<std::uintptr_t>(address);
    if constexpr (sizeof(std::uintptr_t) > sizeof(Word)) {
        if (value >> 32 != 0) FailAddressAboveWordRange(address);
    }
    return static_cast<Word>(value);
}

// Function address -> word.
template <typename Ret, typename... Args>
inline Word ToWord(Ret (*function)(Args...)) {
    return ToWord(reinterpret_cast<const void*>(function));
}

// Word -> address of T (object or function pointer type). A zero word gives a null pointer.
template <typename Pointer>
inline Pointer FromWord(Word word) {
    return reinterpret_cast<Pointer>(static_cast<std::uintptr_t>(word));
}

}  // namespace kx
