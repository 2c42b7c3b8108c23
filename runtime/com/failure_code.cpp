#include "failure_code.h"

namespace kx::com {

namespace {
thread_local std::int32_t t_failure = kComSuccess;
}

std::int32_t ThreadComFailure() { return t_failure; }
void SetThreadComFailure(std::int32_t code) { t_failure = code; }

}  // namespace kx::com
