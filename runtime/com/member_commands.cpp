// CallMethod, WriteProperty and the three readers: the member-call engine with each
// command's call kind and result kind.
#include "core_commands.h"
#include "failure_code.h"
#include "member_call.h"

namespace kx::commands {

using com::CallKind;
using com::ResultKind;

void CallMethod(ValueCell* result, std::int32_t count, ValueCell* args) {
    com::CallMember(CallKind::kCall, ResultKind::kNone, result, count, args);
}

void WriteProperty(ValueCell* result, std::int32_t count, ValueCell* args) {
    const std::int32_t code = com::CallMember(CallKind::kWrite, ResultKind::kNone, result, count, args);
    *result = ValueCell::Logical(code == com::kComSuccess);
}

void ReadVariant(ValueCell* result, std::int32_t count, ValueCell* args) {
    com::CallMember(CallKind::kRead, ResultKind::kVariant, result, count, args);
}

void ReadText(ValueCell* result, std::int32_t count, ValueCell* args) {
    com::CallMember(CallKind::kRead, ResultKind::kText, result, count, args);
}

void ReadNumber(ValueCell* result, std::int32_t count, ValueCell* args) {
    com::CallMember(CallKind::kRead, ResultKind::kDouble, result, count, args);
}

}  // namespace kx::commands
