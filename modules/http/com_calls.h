// The core library's COM object and Variant commands as program code calls them. An object
// variable is a word holding the address of its two-word cell (interface, record); a
// Variant variable a word holding the address of its VARIANT. Member calls never fail
// loudly: they give the empty value of their kind. Calling thread must have COM initialised.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "kx/com_values.h"
#include "kx/value_cell.h"

namespace http_module {

using kx::ValueCell;
using kx::Word;

// A new empty object cell; the variable owns it.
Word NewObjectCell();
// Clears the object (releasing its reference) and frees its cell; empties the variable.
void FreeObjectCell(Word* object);
bool CreateObject(Word object, const char* identifier);
// Stores a new reference to `source`'s object in the empty cell `target`.
void AssignObject(Word target, Word source);
void ClearObject(Word object);

void CallMethod(Word object, const char* name, std::initializer_list<ValueCell> args);
bool WriteProperty(Word object, const char* name, std::initializer_list<ValueCell> args);
// A new VARIANT (all zero when the call failed); the caller clears and frees it.
Word ReadVariant(Word object, const char* name, std::initializer_list<ValueCell> args = {});
// A new text, 0 when empty or failed.
Word ReadText(Word object, const char* name, std::initializer_list<ValueCell> args = {});
double ReadNumber(Word object, const char* name, std::initializer_list<ValueCell> args = {});

// A new Variant: VT_I4 0. The variable owns it.
Word NewVariant();
bool SetVariant(Word* variant, const ValueCell& value);
// The bytes a Variant holds as a new byte array (0 when none).
Word VariantToBytes(Word variant);
// Clears the VARIANT and frees it; empties the variable.
void FreeVariant(Word* variant);

}  // namespace http_module
