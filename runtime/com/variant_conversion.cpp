#include "variant_conversion.h"

#include <oleauto.h>

#include <cstring>

#include "com_cells.h"
#include "memory.h"
#include "results.h"
#include "text936.h"

namespace kx::com {

namespace {

using namespace kx::type_word;

void MarkMissing(VARIANT* out) {
    V_VT(out) = VT_ERROR;
    V_ERROR(out) = DISP_E_PARAMNOTFOUND;
}

// What a ComObject argument becomes: a record travels as a copy of its data (the member's
// clean-up must not clear the caller's record); an object by the declared type.
bool ObjectToVariant(const ComObjectCell* object, VARTYPE declared, VARIANT* out) {
    auto* unknown = object ? FromWord<IUnknown*>(object->object) : nullptr;
    if (unknown && object->record != 0) {
        auto* info = FromWord<IRecordInfo*>(object->object);
        void* copy = nullptr;
        if (FAILED(info->RecordCreateCopy(FromWord<void*>(object->record), &copy))) return false;
        info->AddRef();
        V_VT(out) = VT_RECORD;
        V_RECORDINFO(out) = info;
        V_RECORD(out) = copy;
        return true;
    }
    V_VT(out) = VT_UNKNOWN;
    V_UNKNOWN(out) = nullptr;
    if (!unknown) return true;
    const VARTYPE base = declared & ~VT_BYREF;
    if (base == VT_UNKNOWN) {
        unknown->AddRef();
        V_UNKNOWN(out) = unknown;
    } else if (base == VT_DISPATCH) {
        IDispatch* dispatch = nullptr;
        if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
            dispatch = nullptr;
        }
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = dispatch;
    } else if (base == VT_VARIANT) {
        // A VARIANT parameter takes the object itself, as a dispatch interface when it has one.
        IDispatch* dispatch = nullptr;
        if (SUCCEEDED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
            V_VT(out) = VT_DISPATCH;
            V_DISPATCH(out) = dispatch;
        } else {
            unknown->AddRef();
            V_UNKNOWN(out) = unknown;
        }
    }
    return true;
}

void SetDoubleWords(double value, ConvertedWords* out) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    out->low = static_cast<Word>(bits);
    out->high = static_cast<Word>(bits >> 32);
}

}  // namespace

VARTYPE VarTypeOf(Word type) {
    switch (type) {
        case kByte: return VT_UI1;
        case kLogical: return VT_BOOL;
        case kShort: return VT_I2;
        case kInteger:
        case kLong: return VT_I4;
        case kFloat: return VT_R4;
        case kDouble: return VT_R8;
        case kDateTime: return VT_DATE;
        case kText: return VT_BSTR;
        case kComObjectType: return VT_UNKNOWN;
        default: return VT_EMPTY;
    }
}

BSTR NewBstr(std::string_view cp936) {
    const std::wstring wide = WidenCp936(cp936);
    return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

char* NewTextFromBstr(BSTR text) {
    if (!text) return nullptr;
    return commands::NewText(NarrowToCp936(std::wstring_view(text, SysStringLen(text))));
}

VARTYPE DeclaredTypeOf(ITypeInfo* owner, const TYPEDESC& desc) {
    switch (desc.vt) {
        case VT_INT: return VT_I4;
        case VT_UINT: return VT_UI4;
        case VT_PTR: return desc.lptdesc ? DeclaredTypeOf(owner, *desc.lptdesc) | VT_BYREF : VT_BYREF;
        case VT_SAFEARRAY:
            return desc.lptdesc ? DeclaredTypeOf(owner, *desc.lptdesc) | VT_ARRAY : VT_ARRAY;
        case VT_CARRAY:
            return desc.lpadesc ? DeclaredTypeOf(owner, desc.lpadesc->tdescElem) | VT_ARRAY : VT_ARRAY;
        case VT_USERDEFINED: break;
        default: return desc.vt;
    }
    ITypeInfo* referred = nullptr;
    if (!owner || FAILED(owner->GetRefTypeInfo(desc.hreftype, &referred))) return VT_UNKNOWN;
    VARTYPE type = VT_UNKNOWN;
    TYPEATTR* attributes = nullptr;
    if (SUCCEEDED(referred->GetTypeAttr(&attributes))) {
        switch (attributes->typekind) {
            case TKIND_ENUM: type = VT_I4; break;
            case TKIND_DISPATCH: type = VT_DISPATCH; break;
            case TKIND_ALIAS: type = DeclaredTypeOf(referred, attributes->tdescAlias); break;
            default: break;
        }
        referred->ReleaseTypeAttr(attributes);
    }
    referred->Release();
    return type;
}

bool CellToVariant(const ValueCell& argument, VARTYPE declared, VARIANT* out) {
    if (argument.omitted()) {
        MarkMissing(out);
        return true;
    }
    ValueCell cell;
    if (!ValueOfVariable(argument, &cell)) return false;
    switch (cell.type()) {
        case kByte:
            V_VT(out) = VT_UI1;
            V_UI1(out) = static_cast<BYTE>(cell.low());
            break;
        case kLogical:
            V_VT(out) = VT_BOOL;
            V_BOOL(out) = cell.low() ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case kShort:
            V_VT(out) = VT_I2;
            V_I2(out) = static_cast<SHORT>(cell.low());
            break;
        case kInteger:
        case kLong:  // a long goes as its low 32 bits
            V_VT(out) = VT_I4;
            V_I4(out) = cell.AsInt32();
            break;
        case kFloat:
            V_VT(out) = VT_R4;
            V_R4(out) = cell.AsFloat();
            break;
        case kDouble:
            V_VT(out) = VT_R8;
            V_R8(out) = cell.AsDouble();
            break;
        case kDateTime:
            V_VT(out) = VT_DATE;
            V_DATE(out) = cell.AsDouble();
            break;
        case kText: {
            const char* text = cell.AsText();
            BSTR bstr = NewBstr(text ? std::string_view(text) : std::string_view());
            if (!bstr) return false;
            V_VT(out) = VT_BSTR;
            V_BSTR(out) = bstr;
            break;
        }
        case kVariantType: {
            auto* source = cell.AsAddress<VARIANT*>();
            if (source && FAILED(VariantCopyInd(out, source))) {
                VariantInit(out);
                return false;
            }
            break;
        }
        case kComObjectType:
            if (!ObjectToVariant(cell.AsAddress<ComObjectCell*>(), declared, out)) return false;
            break;
        default: return false;
    }
    // An empty Variant is an argument that was not given.
    if (V_VT(out) == VT_EMPTY) MarkMissing(out);
    return true;
}

bool ObjectToUnknownVariant(const ComObjectCell* object, VARIANT* out) {
    auto* unknown = object ? FromWord<IUnknown*>(object->object) : nullptr;
    if (!unknown) return true;
    IUnknown* identity = nullptr;
    if (FAILED(unknown->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&identity)))) {
        return false;
    }
    V_VT(out) = VT_UNKNOWN;
    V_UNKNOWN(out) = identity;
    return true;
}

bool VariantToWords(const VARIANT& source, Word type, ConvertedWords* out) {
    VARIANT copy;
    VariantInit(&copy);
    if (FAILED(VariantCopyInd(&copy, const_cast<VARIANT*>(&source)))) return false;
    if (V_VT(&copy) == VT_RECORD) {
        VariantClear(&copy);
        return false;
    }
    if (type == kVariantType) {
        VARIANT* held = NewEmptyVariant();
        *held = copy;  // the new block takes over what the copy owns
        out->low = ToWord(held);
        out->high = 0;
        return true;
    }
    const VARTYPE target = VarTypeOf(type);
    if (target == VT_EMPTY || FAILED(VariantChangeType(&copy, &copy, 0, target))) {
        VariantClear(&copy);
        return false;
    }
    bool converted = true;
    ConvertedWords words;
    switch (type) {
        case kShort: words.low = static_cast<Word>(static_cast<std::int32_t>(V_I2(&copy))); break;
        case kInteger: words.low = static_cast<Word>(V_I4(&copy)); break;
        case kLong:
            words.low = static_cast<Word>(V_I4(&copy));
            words.high = V_I4(&copy) < 0 ? 0xFFFFFFFFu : 0u;
            break;
        case kFloat: std::memcpy(&words.low, &V_R4(&copy), sizeof words.low); break;
        case kDouble: SetDoubleWords(V_R8(&copy), &words); break;
        case kDateTime: SetDoubleWords(V_DATE(&copy), &words); break;
        case kLogical: words.low = V_BOOL(&copy) ? 1u : 0u; break;
        case kByte: words.low = V_UI1(&copy); break;
        case kText: words.low = ToWord(NewTextFromBstr(V_BSTR(&copy))); break;
        case kComObjectType: {
            IUnknown* unknown = V_UNKNOWN(&copy);
            // An object the word cannot hold is refused rather than cut short.
            if (unknown && !FitsWord(unknown)) {
                converted = false;
                break;
            }
            ComObjectCell* cell = NewEmptyObjectCell();
            if (unknown) {
                unknown->AddRef();
                cell->object = ToWord(unknown);
            }
            words.low = ToWord(cell);
            break;
        }
        default: converted = false; break;
    }
    VariantClear(&copy);
    if (converted) *out = words;
    return converted;
}

bool WriteBackIntoVariable(const VARIANT& source, const ValueCell& byReference) {
    const Word type = WithoutAddressBit(byReference.type());
    auto* variable = byReference.AsAddress<void*>();
    const std::uint32_t size = VariableSize(type);
    if (!HasAddressBit(byReference.type()) || !variable || size == 0) return false;
    ConvertedWords words;
    if (!VariantToWords(source, type, &words)) return false;
    auto* slot = static_cast<Word*>(variable);
    if (type == kText) {
        RtFree(FromWord<void*>(*slot));
        *slot = words.low;
    } else if (type == kComObjectType || type == kVariantType) {
        // The variable keeps its own cell or VARIANT block; only the contents change.
        if (*slot == 0) {
            *slot = words.low;
        } else if (type == kComObjectType) {
            auto* target = FromWord<ComObjectCell*>(*slot);
            auto* fresh = FromWord<ComObjectCell*>(words.low);
            ClearObjectCell(target);
            *target = *fresh;
            RtFree(fresh);
        } else {
            auto* target = FromWord<VARIANT*>(*slot);
            auto* fresh = FromWord<VARIANT*>(words.low);
            VariantClear(target);
            *target = *fresh;
            RtFree(fresh);
        }
    } else {
        const std::uint64_t bits = (std::uint64_t{words.high} << 32) | words.low;
        std::memcpy(variable, &bits, size);
    }
    return true;
}

ComObjectCell* NewEmptyObjectCell() {
    auto* cell = static_cast<ComObjectCell*>(RtAlloc(kComObjectCellSize));
    cell->object = 0;
    cell->record = 0;
    return cell;
}

VARIANT* NewEmptyVariant() {
    auto* variant = static_cast<VARIANT*>(RtAlloc(kVariantSize));
    std::memset(variant, 0, kVariantSize);
    return variant;
}

void ClearObjectCell(ComObjectCell* cell) {
    if (!cell) return;
    if (cell->object != 0) {
        if (cell->record != 0) {
            FromWord<IRecordInfo*>(cell->object)->RecordDestroy(FromWord<void*>(cell->record));
            cell->record = 0;
        }
        FromWord<IUnknown*>(cell->object)->Release();
        cell->object = 0;
    } else if (cell->record != 0) {
        RtFree(FromWord<void*>(cell->record));
        cell->record = 0;
    }
}

}  // namespace kx::com
