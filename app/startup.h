// Start-up after the window exists: the window-created routine starts a worker that waits
// for the next local second, starts the timer, fetches the network time and warns once if
// that failed. Nothing retries the fetch.
#pragma once

namespace clock_app {

// Window thread: starts the worker and returns at once.
void OnWindowCreated();
// The worker's work.
void RunStartup();

}  // namespace clock_app
