// Records with which libraries ask the runtime to call an event routine of program code,
// and how their arguments become the 32-bit words the routine receives. Pure logic.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "kx/word.h"

namespace kx {

// Service 2008: 32-bit arguments.
struct EventRecord {
    Word formId;
    Word unitId;
    Word eventIndex;
    Word argumentCount;  // at most 5
    Word arguments[5];
    Word hasResult;
    Word result;
};
static_assert(sizeof(EventRecord) == 11 * sizeof(Word));
inline constexpr Word kMaxEventArguments = 5;

// Service 2031: typed arguments of 16 bytes each.
struct TypedEventArgument {
    Word low;
    Word high;
    Word type;
    Word flags;  // bit 0: by reference (word 0 alone); bit 1: both words
};
struct TypedEventRecord {
    Word formId;
    Word unitId;
    Word eventIndex;
    Word argumentCount;  // at most 12
    TypedEventArgument arguments[12];
    Word hasResult;
    Word resultLow;
    Word resultHigh;
};
static_assert(offsetof(TypedEventRecord, arguments) == 16);
static_assert(offsetof(TypedEventRecord, hasResult) == 208);
static_assert(offsetof(TypedEventRecord, resultLow) == 212);
static_assert(offsetof(TypedEventRecord, resultHigh) == 216);
inline constexpr Word kMaxTypedEventArguments = 12;

inline constexpr Word kTypedArgumentByReference = 1;
inline constexpr Word kTypedArgumentBothWords = 2;

// The words one typed argument occupies, in the order the routine finds them (an 8-byte
// value low word first).
void AppendArgumentWords(const TypedEventArgument& argument, std::vector<Word>& words);

// All arguments of a record; a count above the record's room is cut to it.
std::vector<Word> ArgumentWords(const TypedEventRecord& record);
std::vector<Word> ArgumentWords(const EventRecord& record);

}  // namespace kx
