// Seconds on the steady clock, for timing stretches of one benchmark run.
#pragma once

namespace kx::bench {

double SteadySeconds();

}  // namespace kx::bench
