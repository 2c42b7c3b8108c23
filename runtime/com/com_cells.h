// Reading the value cells that the COM commands receive: object cells, Variant addresses,
// by-reference variables, and the 1-based element positions of arrays. Nothing here trusts
// a cell: a null address or an unknown type word reads as "nothing". Pure; any thread.
#pragma once

#include <cstdint>
#include <vector>

#include "kx/com_values.h"
#include "kx/value_cell.h"

namespace kx::com {

// The object cell of a ComObject argument (by value: word 0 is the cell; by reference: word
// 0 is the variable holding the cell's address); null for any other kind or a null address.
ComObjectCell* ObjectCellOf(const ValueCell& cell);
// The VARIANT of a Variant argument, by value or by reference, as raw memory; null likewise.
void* VariantAddressOf(const ValueCell& cell);
// The variable slot of a by-reference Variant or ComObject argument (it holds the address
// of the VARIANT or object cell, which may be null); null for any other cell.
Word* HandleVariableOf(const ValueCell& cell);

// A by-reference cell read as the by-value cell of its variable's current value; a
// by-value cell as it is. False for a by-reference cell with a null address or of a kind
// whose variable size is unknown.
bool ValueOfVariable(const ValueCell& cell, ValueCell* value);

// Bytes a variable of `type` (address bit removed) occupies: 1, 2, 4 or 8; 0 when unknown.
std::uint32_t VariableSize(Word type);

// The subscripts of the `position`th element (1-based, storage order, the first dimension
// varying fastest) of an array with the given inclusive bounds per dimension. False when the
// position lies outside the array.
struct DimensionBounds {
    std::int32_t lower;
    std::int32_t upper;
};
bool SubscriptsOfPosition(std::int64_t position, const std::vector<DimensionBounds>& bounds,
                          std::vector<std::int32_t>* subscripts);

}  // namespace kx::com
