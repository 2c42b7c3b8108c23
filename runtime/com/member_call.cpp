#include "member_call.h"

#include <windows.h>
#include <oleauto.h>

#include <span>
#include <string>
#include <vector>

#include "com_cells.h"
#include "com_refs.h"
#include "failure_code.h"
#include "text936.h"
#include "variant_conversion.h"

namespace kx::com {

namespace {

// Every temporary VARIANT of a call, cleared however the call ends.
class VariantBlock {
public:
    explicit VariantBlock(std::size_t count) : variants_(count) {
        for (VARIANT& v : variants_) VariantInit(&v);
    }
    VariantBlock(const VariantBlock&) = delete;
    VariantBlock& operator=(const VariantBlock&) = delete;
    ~VariantBlock() {
        for (VARIANT& v : variants_) VariantClear(&v);
    }
    VARIANT* data() { return variants_.data(); }

private:
    std::vector<VARIANT> variants_;
};

struct DeclaredParameter {
    VARTYPE type;
    USHORT flags;
};

struct Binding {
    MEMBERID member = DISPID_UNKNOWN;
    WORD invokeFlags = 0;
    short optionalCount = 0;  // -1: the last parameter takes a variable list
    std::vector<DeclaredParameter> parameters;
};

// Flags tried in order until Bind succeeds.
constexpr WORD kReadFlags[] = {INVOKE_PROPERTYGET, INVOKE_FUNC};
constexpr WORD kWriteFlags[] = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
constexpr WORD kCallFlags[] = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT,
                               INVOKE_PROPERTYPUTREF};

std::span<const WORD> FlagsOf(CallKind kind) {
    switch (kind) {
        case CallKind::kRead: return kReadFlags;
        case CallKind::kWrite: return kWriteFlags;
        case CallKind::kCall: break;
    }
    return kCallFlags;
}

void TakeFunction(ITypeInfo* owner, const FUNCDESC& function, Binding* binding) {
    binding->member = function.memid;
    binding->invokeFlags = static_cast<WORD>(function.invkind);
    binding->optionalCount = function.cParamsOpt;
    for (SHORT i = 0; i < function.cParams; ++i) {
        const ELEMDESC& element = function.lprgelemdescParam[i];
        binding->parameters.push_back(
            {DeclaredTypeOf(owner, element.tdesc), element.paramdesc.wParamFlags});
    }
}

void TakeVariable(ITypeInfo* owner, const VARDESC& variable, CallKind kind, Binding* binding) {
    binding->member = variable.memid;
    binding->invokeFlags = INVOKE_PROPERTYGET;
    if (kind != CallKind::kWrite) return;
    const VARTYPE type = DeclaredTypeOf(owner, variable.elemdescVar.tdesc);
    const VARTYPE base = type & ~VT_BYREF;
    const bool byReference = (base & VT_ARRAY) != 0 || base == VT_UNKNOWN || base == VT_DISPATCH;
    binding->invokeFlags = byReference ? INVOKE_PROPERTYPUTREF : INVOKE_PROPERTYPUT;
    binding->parameters.push_back({type, 0});
}

std::int32_t BindName(ITypeComp* comp, LCID locale, std::wstring name, CallKind kind,
                      Binding* binding) {
    const ULONG hash = LHashValOfNameSys(SYS_WIN32, locale, name.c_str());
    for (const WORD flags : FlagsOf(kind)) {
        Held<ITypeInfo> owner;
        DESCKIND found = DESCKIND_NONE;
        BINDPTR bound{};
        if (FAILED(comp->Bind(name.data(), hash, flags, owner.out(), &found, &bound))) continue;
        // The first successful Bind decides; later flags are not tried.
        switch (found) {
            case DESCKIND_FUNCDESC:
                TakeFunction(owner.get(), *bound.lpfuncdesc, binding);
                owner->ReleaseFuncDesc(bound.lpfuncdesc);
                return kComSuccess;
            case DESCKIND_VARDESC:
            case DESCKIND_IMPLICITAPPOBJ:
                TakeVariable(owner.get(), *bound.lpvardesc, kind, binding);
                owner->ReleaseVarDesc(bound.lpvardesc);
                return kComSuccess;
            case DESCKIND_TYPECOMP:
                if (bound.lptcomp) bound.lptcomp->Release();
                return kUnknownMember;
            default: return kUnknownMember;
        }
    }
    return kUnknownMember;
}

// Puts the converted value into the slot Invoke sees: by reference to the shadow where the
// parameter is declared by reference and the value can go that way, else moved as it is.
void PlaceArgument(VARTYPE declared, VARIANT* shadow, VARIANT* slot) {
    const VARTYPE base = declared & ~VT_BYREF;
    const bool asIs = (declared & VT_BYREF) == 0 || V_VT(shadow) == VT_ERROR || base == VT_RECORD ||
                      ((base & VT_ARRAY) != 0 && (!V_ISARRAY(shadow) || V_ISBYREF(shadow)));
    if (!asIs && base == VT_VARIANT) {
        V_VT(slot) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(slot) = shadow;
        return;
    }
    if (!asIs && (base & VT_ARRAY) != 0) {
        V_VT(slot) = VT_BYREF | V_VT(shadow);
        V_ARRAYREF(slot) = &V_ARRAY(shadow);
        return;
    }
    if (!asIs) {
        VARIANT coerced;
        VariantInit(&coerced);
        if (SUCCEEDED(VariantChangeType(&coerced, shadow, 0, base))) {
            VariantClear(shadow);
            *shadow = coerced;
            V_VT(slot) = VT_BYREF | base;
            V_BYREF(slot) = base == VT_DECIMAL ? static_cast<void*>(&V_DECIMAL(shadow))
                                               : static_cast<void*>(&V_UI1(shadow));
            return;
        }
    }
    *slot = *shadow;  // the slot takes over what the shadow owned
    VariantInit(shadow);
}

std::int32_t FailureOfInvoke(HRESULT result) {
    switch (result) {
        case DISP_E_BADPARAMCOUNT: return kBadParamCount;
        case DISP_E_BADVARTYPE: return kBadVarType;
        case DISP_E_EXCEPTION: return kMemberRaisedException;
        case DISP_E_MEMBERNOTFOUND: return kMemberNotFound;
        case DISP_E_NONAMEDARGS: return kNoNamedArgs;
        case DISP_E_OVERFLOW: return kOverflow;
        case DISP_E_PARAMNOTFOUND: return kParamNotFound;
        case DISP_E_TYPEMISMATCH: return kTypeMismatch;
        case DISP_E_PARAMNOTOPTIONAL: return kParamNotOptional;
        default: return kOtherInvokeFailure;
    }
}

std::wstring NameOf(const ValueCell& argument) {
    ValueCell cell;
    if (!ValueOfVariable(argument, &cell) || cell.type() != type_word::kText || !cell.AsText()) {
        return {};
    }
    return WidenCp936(cell.AsText());
}

// The argument list of an Invoke and everything it owns: `passed` in reverse order, as
// Invoke expects, and behind them the shadows that by-reference slots point to.
std::int32_t InvokeBound(IDispatch* dispatch, LCID locale, const Binding& binding,
                         std::int32_t argumentCount, const ValueCell* arguments,
                         VARIANT* result) {
    const auto declaredOf = [&](std::int32_t i) -> DeclaredParameter {
        if (static_cast<std::size_t>(i) < binding.parameters.size()) return binding.parameters[i];
        if (binding.parameters.empty()) return {VT_VARIANT, 0};
        return binding.parameters.back();
    };
    const auto n = static_cast<std::size_t>(argumentCount);
    VariantBlock block(2 * n);
    VARIANT* passed = block.data();
    VARIANT* shadows = block.data() + n;
    for (std::int32_t i = 0; i < argumentCount; ++i) {
        const VARTYPE declared = declaredOf(i).type;
        if (!CellToVariant(arguments[i], declared, &shadows[i])) return kArgumentNotConvertible;
        PlaceArgument(declared, &shadows[i], &passed[n - 1 - i]);
    }
    DISPID propertyPut = DISPID_PROPERTYPUT;
    DISPPARAMS parameters{passed, nullptr, static_cast<UINT>(n), 0};
    if ((binding.invokeFlags & (INVOKE_PROPERTYPUT | INVOKE_PROPERTYPUTREF)) != 0 && n > 0) {
        parameters.rgdispidNamedArgs = &propertyPut;
        parameters.cNamedArgs = 1;
    }
    UINT argumentError = 0;
    const HRESULT invoked = dispatch->Invoke(binding.member, IID_NULL, locale, binding.invokeFlags,
                                             &parameters, result, nullptr, &argumentError);
    if (FAILED(invoked)) return FailureOfInvoke(invoked);
    for (std::int32_t i = 0; i < argumentCount; ++i) {
        const VARIANT& slot = passed[n - 1 - i];
        if (type_word::HasAddressBit(arguments[i].type()) &&
            (declaredOf(i).flags & PARAMFLAG_FOUT) != 0 && V_ISBYREF(&slot)) {
            WriteBackIntoVariable(slot, arguments[i]);
        }
    }
    return kComSuccess;
}

std::int32_t CallBound(CallKind kind, ResultKind resultKind, std::int32_t count,
                       const ValueCell* args, ConvertedWords* value) {
    const ComObjectCell* object = count >= 1 ? ObjectCellOf(args[0]) : nullptr;
    auto* unknown = object ? FromWord<IUnknown*>(object->object) : nullptr;
    if (!unknown) return kObjectEmpty;
    Held<IDispatch> dispatch;
    if (FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch.out()))) ||
        !dispatch.get()) {
        return kNoDispatch;
    }
    const LCID locale = GetUserDefaultLCID();
    Held<ITypeInfo> info;
    Held<ITypeComp> comp;
    if (FAILED(dispatch->GetTypeInfo(0, locale, info.out())) || !info.get() ||
        FAILED(info->GetTypeComp(comp.out())) || !comp.get()) {
        return kNoTypeInformation;
    }
    const std::wstring name = count >= 2 ? NameOf(args[1]) : std::wstring();
    Binding binding;
    if (name.empty() || BindName(comp.get(), locale, name, kind, &binding) != kComSuccess) {
        return kUnknownMember;
    }
    std::int32_t argumentCount = count > 2 ? count - 2 : 0;
    while (argumentCount > 0 && args[2 + argumentCount - 1].omitted()) --argumentCount;
    if (static_cast<std::size_t>(argumentCount) > binding.parameters.size() &&
        binding.optionalCount != -1) {
        return kTooManyArguments;
    }
    VARIANT result;
    VariantInit(&result);
    std::int32_t code = InvokeBound(dispatch.get(), locale, binding, argumentCount, args + 2, &result);
    if (code == kComSuccess && resultKind != ResultKind::kNone &&
        !VariantToWords(result, static_cast<Word>(resultKind), value)) {
        code = kResultNotConvertible;
    }
    VariantClear(&result);
    return code;
}

}  // namespace

std::int32_t CallMember(CallKind kind, ResultKind resultKind, ValueCell* result, std::int32_t count,
                        const ValueCell* args) {
    ConvertedWords value;
    const std::int32_t code = CallBound(kind, resultKind, args ? count : 0, args, &value);
    if (code != kComSuccess) {
        value = {};
        if (resultKind == ResultKind::kVariant) value.low = ToWord(NewEmptyVariant());
    }
    if (resultKind != ResultKind::kNone) {
        *result = ValueCell::Raw(value.low, value.high, static_cast<Word>(resultKind));
    }
    SetThreadComFailure(code);
    return code;
}

}  // namespace kx::com
