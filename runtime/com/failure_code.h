// The failure code of the last member call on this thread (0 = success). Every member call
// stores one; Create, Assign, Clear and the Variant commands leave it alone. Thread-local:
// each thread sees only its own calls.
#pragma once

#include <cstdint>

namespace kx::com {

enum ComFailure : std::int32_t {
    kComSuccess = 0,
    kObjectEmpty = -1,
    kNoDispatch = -2,
    kUnknownMember = -3,
    kNoTypeInformation = -4,
    kTooManyArguments = -5,
    kArgumentNotConvertible = -7,
    kResultNotConvertible = -8,
    kBadParamCount = -9,
    kBadVarType = -10,
    kMemberRaisedException = -11,
    kMemberNotFound = -12,
    kNoNamedArgs = -13,
    kOverflow = -14,
    kParamNotFound = -15,
    kTypeMismatch = -16,
    kParamNotOptional = -17,
    kOtherInvokeFailure = -18,
};

std::int32_t ThreadComFailure();
void SetThreadComFailure(std::int32_t code);

}  // namespace kx::com
