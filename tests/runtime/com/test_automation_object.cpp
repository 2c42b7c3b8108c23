#include "test_automation_object.h"

#include <oleauto.h>

#include <gtest/gtest.h>

namespace kx::testing {

namespace {

struct ParameterSpec {
    const wchar_t* name;
    VARTYPE type;  // VT_BYREF marks a pointer, VT_ARRAY a safe array of the rest
    USHORT flags;
};

struct MemberSpec {
    DISPID id;
    const wchar_t* name;
    INVOKEKIND kind;
    SHORT optionalCount;
    std::vector<ParameterSpec> parameters;
    VARTYPE result;
};

// TYPEDESCs for a parameter type, kept alive in `store` until the function is added.
TYPEDESC DescribeType(VARTYPE type, std::vector<TYPEDESC>* store) {
    TYPEDESC desc{};
    if (type & VT_BYREF) {
        store->push_back(DescribeType(type & ~VT_BYREF, store));
        desc.vt = VT_PTR;
        desc.lptdesc = &store->back();
    } else if (type & VT_ARRAY) {
        store->push_back(DescribeType(type & ~VT_ARRAY, store));
        desc.vt = VT_SAFEARRAY;
        desc.lptdesc = &store->back();
    } else {
        desc.vt = type;
    }
    return desc;
}

ITypeInfo* BuildTypeInfo() {
    const std::vector<MemberSpec> members = {
        {kEcho, L"Echo", INVOKE_FUNC, 2,
         {{L"a", VT_VARIANT, PARAMFLAG_FIN},
          {L"b", VT_VARIANT, PARAMFLAG_FIN | PARAMFLAG_FOPT},
          {L"c", VT_VARIANT, PARAMFLAG_FIN | PARAMFLAG_FOPT}},
         VT_I4},
        {kCountArgs, L"CountArgs", INVOKE_FUNC, -1,
         {{L"first", VT_I4, PARAMFLAG_FIN}, {L"rest", VT_ARRAY | VT_VARIANT, PARAMFLAG_FIN}},
         VT_I4},
        {kOutputs, L"Outputs", INVOKE_FUNC, 0,
         {{L"text", VT_BYREF | VT_BSTR, PARAMFLAG_FOUT},
          {L"number", VT_BYREF | VT_I4, PARAMFLAG_FOUT},
          {L"any", VT_BYREF | VT_VARIANT, PARAMFLAG_FIN | PARAMFLAG_FOUT},
          {L"notOut", VT_BYREF | VT_I4, PARAMFLAG_FIN}},
         VT_EMPTY},
        {kFail, L"Fail", INVOKE_FUNC, 0, {}, VT_EMPTY},
        {kWordProperty, L"Word", INVOKE_PROPERTYGET, 0, {}, VT_BSTR},
        {kTakeDispatch, L"TakeDispatch", INVOKE_FUNC, 0, {{L"d", VT_DISPATCH, PARAMFLAG_FIN}}, VT_EMPTY},
        {kTakeUnknown, L"TakeUnknown", INVOKE_FUNC, 0, {{L"u", VT_UNKNOWN, PARAMFLAG_FIN}}, VT_EMPTY},
        {kItem, L"Item", INVOKE_PROPERTYGET, 0, {{L"index", VT_I4, PARAMFLAG_FIN}}, VT_I4},
        {kItem, L"Item", INVOKE_PROPERTYPUT, 0,
         {{L"index", VT_I4, PARAMFLAG_FIN}, {L"value", VT_I4, PARAMFLAG_FIN}}, VT_EMPTY},
    };
    ICreateTypeLib2* library = nullptr;
    if (FAILED(CreateTypeLib2(SYS_WIN32, L"kx_test_object.tlb", &library))) return nullptr;
    library->SetName(const_cast<LPOLESTR>(L"KxTestLibrary"));
    const GUID libraryId = {0x6a1f0c11, 0x2b3d, 0x4e5f, {0x8a, 0x9b, 0x0c, 0x1d, 0x2e, 0x3f, 0x40, 0x51}};
    library->SetGuid(libraryId);
    ICreateTypeInfo* create = nullptr;
    if (FAILED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"KxTestObject"), TKIND_DISPATCH, &create))) {
        library->Release();
        return nullptr;
    }
    const GUID typeId = {0x6a1f0c12, 0x2b3d, 0x4e5f, {0x8a, 0x9b, 0x0c, 0x1d, 0x2e, 0x3f, 0x40, 0x52}};
    create->SetGuid(typeId);
    UINT index = 0;
    for (const MemberSpec& member : members) {
        std::vector<TYPEDESC> store;
        store.reserve(16);
        std::vector<ELEMDESC> parameters;
        std::vector<LPOLESTR> names = {const_cast<LPOLESTR>(member.name)};
        for (const ParameterSpec& parameter : member.parameters) {
            ELEMDESC element{};
            element.tdesc = DescribeType(parameter.type, &store);
            element.paramdesc.wParamFlags = parameter.flags;
            parameters.push_back(element);
            names.push_back(const_cast<LPOLESTR>(parameter.name));
        }
        FUNCDESC function{};
        function.memid = member.id;
        function.funckind = FUNC_DISPATCH;
        function.invkind = member.kind;
        function.callconv = CC_STDCALL;
        function.cParams = static_cast<SHORT>(parameters.size());
        function.cParamsOpt = member.optionalCount;
        function.lprgelemdescParam = parameters.data();
        function.elemdescFunc.tdesc.vt = member.result == VT_EMPTY ? VARTYPE{VT_VOID} : member.result;
        EXPECT_HRESULT_SUCCEEDED(create->AddFuncDesc(index, &function)) << index;
        // A property put names only the property, not its value parameter.
        const UINT nameCount = member.kind == INVOKE_PROPERTYPUT ? static_cast<UINT>(names.size() - 1)
                                                                 : static_cast<UINT>(names.size());
        EXPECT_HRESULT_SUCCEEDED(create->SetFuncAndParamNames(index, names.data(), nameCount)) << index;
        ++index;
    }
    VARDESC level{};
    level.memid = kLevel;
    level.varkind = VAR_DISPATCH;
    level.elemdescVar.tdesc.vt = VT_I4;
    EXPECT_HRESULT_SUCCEEDED(create->AddVarDesc(0, &level));
    EXPECT_HRESULT_SUCCEEDED(create->SetVarName(0, const_cast<LPOLESTR>(L"Level")));
    EXPECT_HRESULT_SUCCEEDED(create->LayOut());
    ITypeInfo* info = nullptr;
    create->QueryInterface(IID_ITypeInfo, reinterpret_cast<void**>(&info));
    create->Release();
    library->Release();
    return info;
}

// The i-th argument in parameter order (DISPPARAMS hold them last first).
VARIANT* Argument(DISPPARAMS* params, UINT i) { return &params->rgvarg[params->cArgs - 1 - i]; }

}  // namespace

ITypeInfo* TestAutomationObject::TypeInfo() {
    static ITypeInfo* const info = BuildTypeInfo();
    return info;
}

TestAutomationObject::TestAutomationObject() = default;

HRESULT TestAutomationObject::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
        *out = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG TestAutomationObject::AddRef() { return static_cast<ULONG>(++references_); }
ULONG TestAutomationObject::Release() { return static_cast<ULONG>(--references_); }

HRESULT TestAutomationObject::GetTypeInfoCount(UINT* count) {
    *count = 1;
    return S_OK;
}

HRESULT TestAutomationObject::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    ITypeInfo* info = TypeInfo();
    if (index != 0 || !info) return DISP_E_BADINDEX;
    info->AddRef();
    *out = info;
    return S_OK;
}

HRESULT TestAutomationObject::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;  // the commands bind through the type information only
}

HRESULT TestAutomationObject::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) {
    ++invokeCount_;
    lastFlags_ = flags;
    lastNamedCount_ = params->cNamedArgs;
    lastArguments_.clear();
    for (UINT i = 0; i < params->cArgs; ++i) {
        const VARIANT* argument = Argument(params, i);
        lastArguments_.push_back({V_VT(argument), V_VT(argument) == VT_ERROR ? V_ERROR(argument) : S_OK});
    }
    switch (member) {
        case kEcho:
        case kCountArgs:
            if (result) {
                V_VT(result) = VT_I4;
                V_I4(result) = static_cast<LONG>(params->cArgs);
            }
            return S_OK;
        case kOutputs:
            for (UINT i = 0; i < params->cArgs; ++i) {
                VARIANT* argument = Argument(params, i);
                if (V_VT(argument) == (VT_BYREF | VT_BSTR)) {
                    SysFreeString(*V_BSTRREF(argument));
                    *V_BSTRREF(argument) = SysAllocString(L"写回");
                } else if (V_VT(argument) == (VT_BYREF | VT_I4)) {
                    *V_I4REF(argument) = 42;
                } else if (V_VT(argument) == (VT_BYREF | VT_VARIANT)) {
                    VariantClear(V_VARIANTREF(argument));
                    V_VT(V_VARIANTREF(argument)) = VT_R8;
                    V_R8(V_VARIANTREF(argument)) = 2.5;
                }
            }
            return S_OK;
        case kFail: return DISP_E_EXCEPTION;
        case kWordProperty:
            V_VT(result) = VT_BSTR;
            V_BSTR(result) = SysAllocString(L"not a number");
            return S_OK;
        case kTakeDispatch:
        case kTakeUnknown: return S_OK;
        case kItem:
            if (flags & DISPATCH_PROPERTYPUT) {
                if (params->cArgs != 2 || params->cNamedArgs != 1 ||
                    params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                    return DISP_E_PARAMNOTFOUND;
                }
                // The named value comes first; the index behind it.
                itemValue_ = V_I4(&params->rgvarg[0]);
                itemIndex_ = V_I4(&params->rgvarg[1]);
                return S_OK;
            }
            if (params->cArgs != 1 || V_VT(&params->rgvarg[0]) != VT_I4) return DISP_E_TYPEMISMATCH;
            V_VT(result) = VT_I4;
            V_I4(result) = V_I4(&params->rgvarg[0]) * 10;
            return S_OK;
        case kLevel:
            if (flags & DISPATCH_PROPERTYPUT) {
                if (params->cArgs != 1 || V_VT(&params->rgvarg[0]) != VT_I4) return DISP_E_TYPEMISMATCH;
                level_ = V_I4(&params->rgvarg[0]);
                return S_OK;
            }
            V_VT(result) = VT_I4;
            V_I4(result) = level_;
            return S_OK;
        default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT PlainUnknown::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown) {
        *out = this;
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

}  // namespace kx::testing
