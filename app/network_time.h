// The program's one shared variable: the network time, a date-time that the start-up worker
// stores once and every timer tick advances by a second on the window thread. One lock
// guards every access, so the worker's store is never lost to a tick's read-add-write.
#pragma once

namespace clock_app {

double LoadNetworkTime();
void StoreNetworkTime(double dateTime);
// One second more, read, added and written under the lock; returns the new value.
double AdvanceNetworkTime();
// The same with the addition given, which runs between the read and the write: tests stand
// inside a tick with it.
double AdvanceNetworkTime(double (*add)(double));

}  // namespace clock_app
