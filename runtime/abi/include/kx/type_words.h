// The type word of a value cell, bit by bit.
//   bits 31..30  10 = a base type (the constants below), 01 = a type the program defines;
//                any other non-zero word is a library data type id (those of this program
//                all have top bits 00). The word 0 is an omitted argument.
//   bit 29       word 0 is an address: an array block, or the caller's variable when the
//                parameter is passed by reference. The other bits name the element type.
// A library data type id is (library number + 1) * 65536 + (record index + 1).
#pragma once

#include "kx/word.h"

namespace kx::type_word {

inline constexpr Word kOmitted = 0;
inline constexpr Word kByte = 0x80000101;
inline constexpr Word kShort = 0x80000201;
inline constexpr Word kInteger = 0x80000301;
inline constexpr Word kLong = 0x80000401;
inline constexpr Word kFloat = 0x80000501;
inline constexpr Word kDouble = 0x80000601;
inline constexpr Word kLogical = 0x80000002;
inline constexpr Word kDateTime = 0x80000003;
inline constexpr Word kText = 0x80000004;
inline constexpr Word kByteArray = 0x80000005;
inline constexpr Word kSubroutine = 0x80000006;
inline constexpr Word kEightBytes = 0x80000008;  // an 8-byte value of open meaning

inline constexpr Word kAddressBit = 0x20000000;  // array block or by-reference variable

// Library data type ids of the core library (library 0) that the runtime knows by name.
inline constexpr Word kWindowType = 0x00010001;
inline constexpr Word kCoreEightByteType = 0x00010003;
inline constexpr Word kLabelType = 0x0001000A;
inline constexpr Word kButtonType = 0x0001000B;
inline constexpr Word kTimerType = 0x00010020;
inline constexpr Word kComObjectType = 0x00010030;
inline constexpr Word kVariantType = 0x00010031;

constexpr Word WithoutAddressBit(Word type) { return type & ~kAddressBit; }
constexpr bool HasAddressBit(Word type) { return (type & kAddressBit) != 0; }

// Classification by the top two bits, with the address bit removed first.
constexpr bool IsBaseType(Word type) { return (WithoutAddressBit(type) >> 30) == 2; }
constexpr bool IsProgramDefinedType(Word type) { return (WithoutAddressBit(type) >> 30) == 1; }
constexpr bool IsLibraryDataType(Word type) {
    const Word top = WithoutAddressBit(type) >> 30;
    return type != kOmitted && top != 1 && top != 2;
}

constexpr Word MakeDataTypeId(Word libraryNumber, Word recordIndex) {
    return (libraryNumber + 1) * 65536 + (recordIndex + 1);
}
constexpr Word LibraryNumberOf(Word dataTypeId) { return (dataTypeId >> 16) - 1; }
constexpr Word RecordIndexOf(Word dataTypeId) { return (dataTypeId & 0xFFFF) - 1; }

}  // namespace kx::type_word
