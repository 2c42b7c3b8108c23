// The once-a-second display: the timer's routine. Window thread.
#pragma once

namespace clock_app {

// Advances the network time by a second and shows both times on their labels.
void OnTimerTick();

}  // namespace clock_app
