#include "network_time.h"

#include <mutex>

#include "core_calls.h"

namespace clock_app {

namespace {
std::mutex g_networkTimeLock;
double g_networkTime = 0.0;  // 30 December 1899, until the worker stores the fetched time
}  // namespace

double LoadNetworkTime() {
    const std::lock_guard lock(g_networkTimeLock);
    return g_networkTime;
}

void StoreNetworkTime(double dateTime) {
    const std::lock_guard lock(g_networkTimeLock);
    g_networkTime = dateTime;
}

double AdvanceNetworkTime() {
    return AdvanceNetworkTime([](double time) { return AddInterval(time, Interval::kSecond, 1); });
}

double AdvanceNetworkTime(double (*add)(double)) {
    const std::lock_guard lock(g_networkTimeLock);
    g_networkTime = add(g_networkTime);
    return g_networkTime;
}

}  // namespace clock_app
