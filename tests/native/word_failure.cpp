// The native build's end for an address that does not fit a word: it stands in for the
// runtime's error box. A test that gets here handed over a stack or heap address instead of
// a block from the low arena.
#include <cstdio>
#include <cstdlib>

#include "kx/word.h"

void kx::FailAddressAboveWordRange(const volatile void* address) {
    std::fprintf(stderr, "address %p does not fit a word\n", const_cast<const void*>(address));
    std::abort();
}
