#include <atomic>

#include "core_commands.h"
#include "kx/image_format.h"

namespace kx::commands {

namespace {
// Kept as every library keeps it. The commands themselves allocate through the runtime's
// heap entries directly, which is what service 2024 with the failure check does.
std::atomic<Word> g_runtimeService{0};
}

std::int32_t CoreLibraryNotify(std::int32_t code, Word param1, Word /*param2*/) {
    switch (code) {
        case kNotifyStartup:
            g_runtimeService.store(param1);
            return 0;
        case kNotifyShutdown:
            return 0;
        default:
            return kNotifyNotHandled;
    }
}

}  // namespace kx::commands
