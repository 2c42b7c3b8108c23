// Conversions between value cells and VARIANTs for member calls and Variant commands, and
// the declared parameter types read from type information. Texts cross as code page 936.
// Everything converts into a temporary and hands it out only on success. Any thread with
// COM initialised.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string_view>

#include "kx/com_values.h"
#include "kx/value_cell.h"

namespace kx::com {

static_assert(sizeof(VARIANT) == kVariantSize);

BSTR NewBstr(std::string_view cp936);
// A new runtime text of the BSTR's characters in code page 936; null for the empty text.
char* NewTextFromBstr(BSTR text);

// The VARIANT type that holds a value of a scalar type word (Integer and Long both as
// VT_I4, an object as VT_UNKNOWN); VT_EMPTY for any other type.
VARTYPE VarTypeOf(Word type);

// The type a declared parameter counts as: VT_INT as VT_I4, VT_UINT as VT_UI4, a pointer
// adds VT_BYREF, an array VT_ARRAY; a user-defined type resolves through `owner`.
VARTYPE DeclaredTypeOf(ITypeInfo* owner, const TYPEDESC& desc);

// One argument cell (by value or by reference) by the argument table into `out`, which
// must be VT_EMPTY; `declared` decides what an object becomes. False: not convertible.
bool CellToVariant(const ValueCell& cell, VARTYPE declared, VARIANT* out);

// A ComObject as VT_UNKNOWN, asked for its IUnknown; an empty object stays VT_EMPTY.
bool ObjectToUnknownVariant(const ComObjectCell* object, VARIANT* out);

// A value for a cell or variable of `type` by the result table: the words of the value;
// new texts, object cells and VARIANTs belong to the caller. False: not convertible.
struct ConvertedWords {
    Word low = 0;
    Word high = 0;
};
bool VariantToWords(const VARIANT& source, Word type, ConvertedWords* out);

// Writes `source` into the caller's variable of a by-reference cell; the old text, object
// or Variant there is released first. False: not convertible, variable untouched.
bool WriteBackIntoVariable(const VARIANT& source, const ValueCell& byReference);

// New, empty payloads: an object cell of two null words; a VARIANT of all zero bytes.
ComObjectCell* NewEmptyObjectCell();
VARIANT* NewEmptyVariant();

// Releases what an object cell holds and empties it (the Clear command).
void ClearObjectCell(ComObjectCell* cell);

}  // namespace kx::com
