// SetVariant, VariantToBytes and ClearVariant: values into and bytes out of a Variant
// variable's VARIANT. They report only through their results, never the failure code.
#include <windows.h>
#include <oleauto.h>

#include <cstring>
#include <vector>

#include "arguments.h"
#include "com_cells.h"
#include "com_refs.h"
#include "core_commands.h"
#include "results.h"
#include "safe_arrays.h"
#include "variant_conversion.h"

namespace kx::commands {

namespace {

using namespace kx::type_word;

// The value to store, converted; `isArray` tells a runtime array from a single value.
bool ConvertValue(const ValueCell& value, VARIANT* out, bool* isArray) {
    *isArray = false;
    const Word type = value.type();
    if (type == kByteArray || type == (kByteArray | kAddressBit)) {
        ValueCell bytes;
        if (!com::ValueOfVariable(value, &bytes)) return false;
        *isArray = true;
        return com::ArrayBlockToVariant(bytes.AsAddress<const void*>(), kByte, out);
    }
    if (type == (kComObjectType | kAddressBit) || type == kComObjectType) {
        return com::ObjectToUnknownVariant(com::ObjectCellOf(value), out);
    }
    if (type == (kVariantType | kAddressBit)) return com::CellToVariant(value, VT_EMPTY, out);
    if (HasAddressBit(type)) {
        *isArray = true;
        return com::ArrayBlockToVariant(value.AsAddress<const void*>(), WithoutAddressBit(type), out);
    }
    return com::CellToVariant(value, VT_EMPTY, out);
}

// Where SafeArrayPutElement and SafeArrayGetElement find an element of `type` in a VARIANT.
void* ElementStorage(VARIANT* variant, VARTYPE type) {
    if (type == VT_VARIANT) return variant;
    if (type == VT_BSTR) return V_BSTR(variant);
    if (type == VT_UNKNOWN || type == VT_DISPATCH) return V_UNKNOWN(variant);
    return &V_UI1(variant);
}

bool StoreElement(SAFEARRAY* array, std::int32_t position, bool isArray, VARIANT* value) {
    VARTYPE elementType = VT_EMPTY;
    if (FAILED(SafeArrayGetVartype(array, &elementType)) || elementType == VT_RECORD ||
        elementType == VT_DECIMAL) {
        return false;
    }
    if (isArray && elementType != VT_VARIANT) return false;
    std::vector<LONG> subscripts;
    if (!com::SubscriptsOf(array, position, &subscripts)) return false;
    if (elementType != VT_VARIANT && FAILED(VariantChangeType(value, value, 0, elementType))) {
        return false;
    }
    return SUCCEEDED(SafeArrayPutElement(array, subscripts.data(), ElementStorage(value, elementType)));
}

bool IsByteArrayVariant(VARIANT* variant) {
    const VARTYPE type = V_VT(variant) & ~VT_BYREF;
    return type == (VT_ARRAY | VT_UI1) || type == (VT_ARRAY | VT_I1);
}

// The bytes of a VARIANT that is, or coerces to, an array of bytes; null otherwise.
ByteArrayHeader* CoercedBytes(VARIANT* variant) {
    if (IsByteArrayVariant(variant)) return com::BytesOfSafeArray(com::SafeArrayOf(variant));
    com::ScopedVariant copy;
    if (FAILED(VariantCopyInd(copy.get(), variant)) ||
        FAILED(VariantChangeType(copy.get(), copy.get(), 0, VT_ARRAY | VT_UI1))) {
        return nullptr;
    }
    return com::BytesOfSafeArray(com::SafeArrayOf(copy.get()));
}

ByteArrayHeader* ElementBytes(SAFEARRAY* array, std::int32_t position) {
    VARTYPE elementType = VT_EMPTY;
    std::vector<LONG> subscripts;
    if (FAILED(SafeArrayGetVartype(array, &elementType)) || elementType == VT_RECORD ||
        elementType == VT_DECIMAL || !com::SubscriptsOf(array, position, &subscripts)) {
        return nullptr;
    }
    com::ScopedVariant element;
    void* storage = elementType == VT_VARIANT ? static_cast<void*>(element.get())
                                              : static_cast<void*>(&V_UI1(element.get()));
    if (FAILED(SafeArrayGetElement(array, subscripts.data(), storage))) return nullptr;
    if (elementType != VT_VARIANT) V_VT(element.get()) = elementType;
    return CoercedBytes(element.get());
}

}  // namespace

void SetVariant(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ValueCell::Logical(false);
    auto* target = static_cast<VARIANT*>(com::VariantAddressOf(in[0]));
    if (!target) return;
    com::ScopedVariant value;
    bool isArray = false;
    // Converted first: a value that cannot be stored leaves the Variant as it was.
    if (!ConvertValue(in[1], value.get(), &isArray)) return;
    if (!in.Given(2)) {
        VariantClear(target);
        std::memset(target, 0, sizeof *target);
        *target = value.release();
    } else {
        SAFEARRAY* array = com::SafeArrayOf(target);
        if (!array || !StoreElement(array, in.Integer(2), isArray, value.get())) return;
    }
    *result = ValueCell::Logical(true);
}

void VariantToBytes(ValueCell* result, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    *result = ByteArrayResult(nullptr);
    auto* variant = static_cast<VARIANT*>(com::VariantAddressOf(in[0]));
    if (!variant) return;
    SAFEARRAY* array = com::SafeArrayOf(variant);
    if (in.Given(1)) {
        if (array) *result = ByteArrayResult(ElementBytes(array, in.Integer(1)));
    } else if (array) {
        *result = ByteArrayResult(com::BytesOfSafeArray(array));
    } else {
        *result = ByteArrayResult(CoercedBytes(variant));
    }
}

void ClearVariant(ValueCell*, std::int32_t count, ValueCell* args) {
    const Arguments in(count, args);
    auto* variant = static_cast<VARIANT*>(com::VariantAddressOf(in[0]));
    if (!variant) return;
    VariantClear(variant);
    std::memset(variant, 0, sizeof *variant);
}

}  // namespace kx::commands
