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

KX_PENDING(Now)
KX_PENDING(SecondOf)
KX_PENDING(ToText)
KX_PENDING(MakeDateTime)
KX_PENDING(AddInterval)
KX_PENDING(SetClock)
KX_PENDING(MessageBox)
KX_PENDING(FindText)
KX_PENDING(ToByteArray)
KX_PENDING(TextLength)
KX_PENDING(ReplaceSubtext)
KX_PENDING(SplitText)
KX_PENDING(TrimSpaces)
KX_PENDING(LeftText)
KX_PENDING(MidText)
KX_PENDING(RightText)
KX_PENDING(CharCodeAt)
KX_PENDING(ToUpperCase)
KX_PENDING(ByteArrayLength)
KX_PENDING(Remainder)
KX_PENDING(BlankByteArray)
KX_PENDING(ShiftRight)
KX_PENDING(BitAnd)
KX_PENDING(ShiftLeft)
KX_PENDING(ToByte)
KX_PENDING(FindTextBackwards)
KX_PENDING(CharFromCode)
KX_PENDING(MidByteArray)
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
