// The native build's end for an address that does not fit a word. Its code is 32-bit, so
// this is never reached; it stands in for the runtime's error box.
#include <cstdio>
#include <cstdlib>

#include "kx/word.h"

void kx::FailAddressAboveWordRange(const volatile void* address) {
    std::fprintf(stderr, "address %p does not fit a word\n", const_cast<const void*>(address));
    std::abort();
}
