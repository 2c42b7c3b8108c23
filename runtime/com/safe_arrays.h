// Runtime arrays to safe arrays and safe arrays of bytes to byte arrays, and reaching a
// safe array's elements by a 1-based position. Any thread with COM initialised.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <vector>

#include "kx/value_cell.h"

namespace kx::com {

// A runtime array block of `elementType` as VT_ARRAY | element type in `out`: one
// dimension, lower bound 1, every element in storage order. False for an element type that
// has no safe-array form (or a safe array the system cannot make).
bool ArrayBlockToVariant(const void* block, Word elementType, VARIANT* out);

// The safe array a VARIANT holds, directly or by reference; null when it holds none.
SAFEARRAY* SafeArrayOf(VARIANT* variant);

// A new byte array of the elements of a safe array of VT_UI1 or VT_I1; null (the empty
// byte array) for any other element type and for no elements.
ByteArrayHeader* BytesOfSafeArray(SAFEARRAY* array);

// The subscripts of a 1-based position in storage order; false outside the array.
bool SubscriptsOf(SAFEARRAY* array, std::int32_t position, std::vector<LONG>* subscripts);

}  // namespace kx::com
