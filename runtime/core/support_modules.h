// The runtime's three support-module slots: start, look up a routine by name, release.
// Bound at start-up on the main thread; nothing in this program calls them.
#pragma once

#include "kx/word.h"

namespace kx {

struct SupportModuleSlot {
    Word start = 0;    // int start(): non-zero when the module is usable
    Word lookup = 0;   // Word lookup(const char* name): a routine address or 0
    Word release = 0;  // void release()
};

inline constexpr int kSupportModuleSlotCount = 3;
inline constexpr int kMediaPlayerSlot = 0;

// Both placeholder routines sit in the stub that opens program code, just before codeBase:
// one returns 0 (codeBase - 4), one returns at once (codeBase - 2).
SupportModuleSlot PlaceholderSupportModule(Word codeBase);
SupportModuleSlot MediaPlayerSupportModule();

}  // namespace kx
