// The one member-call engine behind CallMethod, WriteProperty and the three readers: binds
// the name through the object's type information on every call, converts the arguments,
// invokes, writes back by-reference outputs and converts the result. Stores the thread's
// failure code. Runs on the calling thread, which must have COM initialised.
#pragma once

#include <cstdint>

#include "kx/value_cell.h"

namespace kx::com {

enum class CallKind { kRead, kWrite, kCall };

// What the result cell receives; on failure the empty value of the same kind.
enum class ResultKind : Word {
    kNone = 0,
    kText = type_word::kText,
    kDouble = type_word::kDouble,
    kVariant = type_word::kVariantType,
};

// args[0] is the object, args[1] the member's name, the rest the member's arguments.
// Returns the failure code it stored (0 on success).
std::int32_t CallMember(CallKind kind, ResultKind resultKind, ValueCell* result, std::int32_t count,
                        const ValueCell* args);

}  // namespace kx::com
