#include "support_modules.h"

#include <cstring>

namespace kx {

namespace {

// The media player of this runtime build answers the names of its routines, but playback
// itself is not part of the build: every routine reports "nothing played" (0).
int MediaPlayerStart() { return 1; }
int MediaPlayerNothingPlayed() { return 0; }
void MediaPlayerRelease() {}

Word MediaPlayerLookup(const char* name) {
    static const char* const kRoutineNames[] = {
        "Play", "NewPlay", "GetPlayState", "CreatePlayer", "RemovePlayer", "SetPauseState",
    };
    if (!name) return 0;
    for (const char* known : kRoutineNames) {
        if (std::strcmp(name, known) == 0) return ToWord(&MediaPlayerNothingPlayed);
    }
    return 0;
}

}  // namespace

SupportModuleSlot PlaceholderSupportModule(Word codeBase) {
    const Word returnsZero = codeBase - 4;
    const Word returnsAtOnce = codeBase - 2;
    return {returnsZero, returnsZero, returnsAtOnce};
}

SupportModuleSlot MediaPlayerSupportModule() {
    return {ToWord(&MediaPlayerStart), ToWord(&MediaPlayerLookup), ToWord(&MediaPlayerRelease)};
}

}  // namespace kx
