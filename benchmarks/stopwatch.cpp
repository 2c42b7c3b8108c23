// Kept apart from the benchmark: <chrono> of C++20 holds a unit text ("µs") that code
// page 936 cannot express, so this file is compiled with the default execution charset.
#include "stopwatch.h"

#include <chrono>

namespace kx::bench {

double SteadySeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace kx::bench
