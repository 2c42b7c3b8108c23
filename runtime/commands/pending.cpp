// Commands of the core library that this runtime build does not carry yet. Calling one is a
// run-time error rather than a jump into nothing.
#include <string>

#include "core_commands.h"
#include "errors.h"

namespace kx::commands {

namespace {
[[noreturn]] void Unavailable(const char* name) {
    const std::string message = std::string("本运行库尚未提供命令“") + name + "”";
    ReportRuntimeError(message.c_str(), 0, 0, 0);
}
}  // namespace

#define KX_PENDING(name) \
    void name(ValueCell*, std::int32_t, ValueCell*) { Unavailable(#name); }

KX_PENDING(Clear)
KX_PENDING(Create)
KX_PENDING(Assign)
KX_PENDING(CallMethod)
KX_PENDING(WriteProperty)
KX_PENDING(SetVariant)
KX_PENDING(ReadVariant)
KX_PENDING(VariantToBytes)
KX_PENDING(ClearVariant)
KX_PENDING(ReadText)
KX_PENDING(ReadNumber)

#undef KX_PENDING

}  // namespace kx::commands
