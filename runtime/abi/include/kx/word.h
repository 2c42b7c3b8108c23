// The 32-bit word and the one pair of helpers that turn addresses into words and back.
// Value cells, array blocks and the program image hold addresses as 32-bit words in both
// builds; an address at or above 4 GiB can never be stored, and trying is a run-time error.
// Pure header, no platform types; callable from any thread.
#pragma once

#include <cstdint>
#include <type_traits>

namespace kx {

using Word = std::uint32_t;

// Reports an address that does not fit a word and ends the process. Never returns.
[[noreturn]] void FailAddressAboveWordRange(const volatile void* address);

// Whether an address can be stored in a word.
inline bool FitsWord(const volatile void* address) {
    if constexpr (sizeof(std::uintptr_t) > sizeof(Word)) {
        return reinterpret_cast<std::uintptr_t>(address) >> 32 == 0;
    }
    return true;
}

// Address -> word. The only place where a pointer becomes an integer.
inline Word ToWord(const volatile void* address) {
    if (!FitsWord(address)) FailAddressAboveWordRange(address);
    return static_cast<Word>(reinterpret_cast<std::uintptr_t>(address));
}

// Function address (of any calling convention) -> word.
template <typename Function>
    requires std::is_function_v<Function>
inline Word ToWord(Function* function) {
    return ToWord(reinterpret_cast<const void*>(function));
}

// Word -> address of T (object or function pointer type). A zero word gives a null pointer.
template <typename Pointer>
inline Pointer FromWord(Word word) {
    return reinterpret_cast<Pointer>(static_cast<std::uintptr_t>(word));
}

}  // namespace kx
