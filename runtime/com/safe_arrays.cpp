#include "safe_arrays.h"

#include <oleauto.h>

#include <cstring>

#include "com_cells.h"
#include "results.h"
#include "variant_conversion.h"

namespace kx::com {

namespace {

using namespace kx::type_word;

// Array elements may also be Variants, which a scalar value never is.
VARTYPE SafeArrayTypeOf(Word elementType) {
    if (elementType == kVariantType) return VT_VARIANT;
    return VarTypeOf(elementType);
}

template <typename T>
T Read(const std::uint8_t* at) {
    T value;
    std::memcpy(&value, at, sizeof value);
    return value;
}

// Fills element `i` of the safe array's data from the runtime element at `from`.
void PutElement(Word elementType, const std::uint8_t* from, void* data, std::size_t i) {
    switch (elementType) {
        case kByte: static_cast<BYTE*>(data)[i] = *from; break;
        case kLogical:
            static_cast<VARIANT_BOOL*>(data)[i] = Read<Word>(from) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case kShort: static_cast<SHORT*>(data)[i] = Read<SHORT>(from); break;
        case kInteger: static_cast<LONG*>(data)[i] = Read<LONG>(from); break;
        case kLong: static_cast<LONG*>(data)[i] = static_cast<LONG>(Read<std::int64_t>(from)); break;
        case kFloat: static_cast<FLOAT*>(data)[i] = Read<FLOAT>(from); break;
        case kDouble:
        case kDateTime: static_cast<DOUBLE*>(data)[i] = Read<DOUBLE>(from); break;
        case kText: {
            const char* text = FromWord<const char*>(Read<Word>(from));
            static_cast<BSTR*>(data)[i] = NewBstr(text ? text : "");
            break;
        }
        case kComObjectType: {
            const auto* cell = FromWord<const ComObjectCell*>(Read<Word>(from));
            auto* unknown = cell ? FromWord<IUnknown*>(cell->object) : nullptr;
            if (unknown && cell->record == 0) {
                unknown->AddRef();
                static_cast<IUnknown**>(data)[i] = unknown;
            }
            break;
        }
        case kVariantType: {
            auto* source = FromWord<VARIANT*>(Read<Word>(from));
            VARIANT* target = &static_cast<VARIANT*>(data)[i];
            if (source && FAILED(VariantCopyInd(target, source))) VariantInit(target);
            break;
        }
        default: break;
    }
}

std::uint32_t RuntimeElementSize(Word elementType) {
    switch (elementType) {
        case kLogical:
        case kText:
        case kComObjectType:
        case kVariantType: return 4;
        case kDateTime: return 8;
        default: return ElementSize(elementType);
    }
}

}  // namespace

bool ArrayBlockToVariant(const void* block, Word elementType, VARIANT* out) {
    const VARTYPE type = SafeArrayTypeOf(elementType);
    const std::uint64_t count = ArrayElementCount(block);
    if (type == VT_EMPTY || count > 0x7FFFFFFF) return false;
    SAFEARRAYBOUND bound{static_cast<ULONG>(count), 1};
    SAFEARRAY* array = SafeArrayCreate(type, 1, &bound);
    if (!array) return false;
    void* data = nullptr;
    if (count > 0) {
        if (FAILED(SafeArrayAccessData(array, &data))) {
            SafeArrayDestroy(array);
            return false;
        }
        const std::uint8_t* elements = ArrayElements(block);
        const std::uint32_t size = RuntimeElementSize(elementType);
        for (std::uint64_t i = 0; i < count; ++i) {
            PutElement(elementType, elements + i * size, data, static_cast<std::size_t>(i));
        }
        SafeArrayUnaccessData(array);
    }
    V_VT(out) = VT_ARRAY | type;
    V_ARRAY(out) = array;
    return true;
}

SAFEARRAY* SafeArrayOf(VARIANT* variant) {
    if (!variant || !V_ISARRAY(variant)) return nullptr;
    if (!V_ISBYREF(variant)) return V_ARRAY(variant);
    return V_ARRAYREF(variant) ? *V_ARRAYREF(variant) : nullptr;
}

ByteArrayHeader* BytesOfSafeArray(SAFEARRAY* array) {
    VARTYPE type = VT_EMPTY;
    if (!array || FAILED(SafeArrayGetVartype(array, &type)) || (type != VT_UI1 && type != VT_I1) ||
        SafeArrayGetElemsize(array) != 1) {
        return nullptr;
    }
    std::uint64_t count = 1;
    const UINT dimensions = SafeArrayGetDim(array);
    for (UINT d = 1; d <= dimensions; ++d) {
        LONG lower = 0;
        LONG upper = -1;
        if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper))) {
            return nullptr;
        }
        const std::int64_t length = std::int64_t{upper} - lower + 1;
        if (length <= 0) return nullptr;
        count *= static_cast<std::uint64_t>(length);
        if (count > 0x7FFFFFFF) return nullptr;
    }
    if (dimensions == 0) return nullptr;
    void* data = nullptr;
    if (FAILED(SafeArrayAccessData(array, &data))) return nullptr;
    ByteArrayHeader* bytes = commands::NewByteArrayCopy(data, count);
    SafeArrayUnaccessData(array);
    return bytes;
}

bool SubscriptsOf(SAFEARRAY* array, std::int32_t position, std::vector<LONG>* subscripts) {
    std::vector<DimensionBounds> bounds;
    const UINT dimensions = SafeArrayGetDim(array);
    for (UINT d = 1; d <= dimensions; ++d) {
        LONG lower = 0;
        LONG upper = -1;
        if (FAILED(SafeArrayGetLBound(array, d, &lower)) || FAILED(SafeArrayGetUBound(array, d, &upper))) {
            return false;
        }
        bounds.push_back({static_cast<std::int32_t>(lower), static_cast<std::int32_t>(upper)});
    }
    std::vector<std::int32_t> found;
    if (!SubscriptsOfPosition(position, bounds, &found)) return false;
    subscripts->assign(found.begin(), found.end());
    return true;
}

}  // namespace kx::com
