// What the COM command tests share: COM initialised per test, object and Variant variables
// as program code holds them (cells and VARIANTs on the runtime heap), and an automation
// object of the tests' own.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "command_calls.h"
#include "core_commands.h"
#include "failure_code.h"
#include "kx/com_values.h"
#include "memory.h"

namespace kx::testing {

class ComTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)); }
    void TearDown() override { CoUninitialize(); }
};

// A ComObject variable: a heap cell; Hold puts an object in with a reference of its own.
class ObjectVariable {
public:
    ObjectVariable() : cell_(static_cast<ComObjectCell*>(RtAlloc(kComObjectCellSize))), slot_(ToWord(cell_)) {
        *cell_ = {};
    }
    ~ObjectVariable() {
        commands::Clear(nullptr, 1, &value_);
        RtFree(cell_);
    }
    void Hold(IUnknown* object) {
        object->AddRef();
        cell_->object = ToWord(object);
    }
    ComObjectCell& cell() { return *cell_; }
    IUnknown* object() const { return FromWord<IUnknown*>(cell_->object); }
    ValueCell Cell() const { return value_; }
    ValueCell ByReference() { return ValueCell::Reference(&slot_, type_word::kComObjectType); }

private:
    ComObjectCell* cell_;
    Word slot_;
    ValueCell value_ = ValueCell::Raw(ToWord(cell_), 0, type_word::kComObjectType);
};

// A Variant variable: a heap VARIANT that starts as the integer 0, or a command's result.
class VariantVariable {
public:
    VariantVariable() : variant_(static_cast<VARIANT*>(RtAlloc(kVariantSize))) { InitNewVariant(variant_); }
    explicit VariantVariable(const ValueCell& result) : variant_(result.AsAddress<VARIANT*>()) {
        EXPECT_EQ(result.type(), type_word::kVariantType);
    }
    ~VariantVariable() {
        if (variant_) VariantClear(variant_);
        RtFree(variant_);
    }
    VARIANT* get() { return variant_; }
    ValueCell Cell() { return ValueCell::Raw(ToWord(variant_), 0, type_word::kVariantType); }
    ValueCell ByReference() { return ValueCell::Reference(&slot_, type_word::kVariantType); }

private:
    VARIANT* variant_;
    Word slot_ = ToWord(variant_);
};

inline double NumberOf(const ValueCell& result) {
    EXPECT_EQ(result.type(), type_word::kDouble);
    return result.AsDouble();
}

inline ValueCell Logical(bool v) { return ValueCell::Logical(v); }
inline ValueCell D(double v) { return ValueCell::Double(v); }
inline ValueCell Omitted() { return ValueCell::Omitted(); }

// Members are numbered from 1 in the order of the type information's functions.
enum TestMember : DISPID { kEcho = 1, kCountArgs, kOutputs, kFail, kTake, kLevel };

struct MemberSpec {
    const wchar_t* name;
    SHORT optionalCount;  // -1: the last parameter takes a variable list
    // Each parameter's type (VT_BYREF marks a pointer, VT_ARRAY a safe array) and flags.
    std::vector<std::pair<VARTYPE, USHORT>> parameters;
};

// The description of `type`; what it points to is kept in `store`, reserved large enough.
inline TYPEDESC Describe(VARTYPE type, std::vector<TYPEDESC>* store) {
    TYPEDESC desc{};
    desc.vt = type;
    if (type & (VT_BYREF | VT_ARRAY)) {
        const VARTYPE marker = (type & VT_BYREF) ? VT_BYREF : VT_ARRAY;
        store->push_back(Describe(type & ~marker, store));
        desc.vt = marker == VT_BYREF ? VT_PTR : VT_SAFEARRAY;
        desc.lptdesc = &store->back();
    }
    return desc;
}

inline ITypeInfo* BuildTestTypeInfo() {
    constexpr USHORT in = PARAMFLAG_FIN;
    constexpr USHORT out = PARAMFLAG_FOUT;
    const MemberSpec members[] = {
        {L"Echo", 2, {{VT_VARIANT, in}, {VT_VARIANT, in | PARAMFLAG_FOPT}, {VT_VARIANT, in | PARAMFLAG_FOPT}}},
        {L"CountArgs", -1, {{VT_I4, in}, {VT_ARRAY | VT_VARIANT, in}}},
        {L"Outputs", 0,
         {{VT_BYREF | VT_BSTR, out}, {VT_BYREF | VT_I4, out}, {VT_BYREF | VT_VARIANT, in | out},
          {VT_BYREF | VT_I4, in}, {VT_BYREF | VT_ARRAY | VT_UI1, in | out}}},
        {L"Fail", 0, {{VT_I4, in}}},
        {L"Take", 0, {{VT_DISPATCH, in}, {VT_UNKNOWN, in}}},
    };
    ICreateTypeLib2* library = nullptr;
    if (FAILED(CreateTypeLib2(SYS_WIN32, L"kx_test_object.tlb", &library))) return nullptr;
    ICreateTypeInfo* create = nullptr;
    EXPECT_HRESULT_SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"KxTestObject"), TKIND_DISPATCH, &create));
    for (UINT i = 0; i < std::size(members); ++i) {
        std::vector<TYPEDESC> store;
        store.reserve(8);
        std::vector<ELEMDESC> parameters;
        for (const auto& [type, flags] : members[i].parameters) {
            parameters.push_back({Describe(type, &store), {}});
            parameters.back().paramdesc.wParamFlags = flags;
        }
        FUNCDESC function{};
        function.memid = static_cast<MEMBERID>(i + 1);
        function.funckind = FUNC_DISPATCH;
        function.invkind = INVOKE_FUNC;
        function.callconv = CC_STDCALL;
        function.cParams = static_cast<SHORT>(parameters.size());
        function.cParamsOpt = members[i].optionalCount;
        function.lprgelemdescParam = parameters.data();
        function.elemdescFunc.tdesc.vt = VT_VARIANT;
        EXPECT_HRESULT_SUCCEEDED(create->AddFuncDesc(i, &function)) << i;
        LPOLESTR name = const_cast<LPOLESTR>(members[i].name);
        EXPECT_HRESULT_SUCCEEDED(create->SetFuncAndParamNames(i, &name, 1)) << i;
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

// Echo gives back its first argument, Fail fails with the code it is given, Outputs writes
// every by-reference argument, Level is a variable; the others give their argument count.
class TestAutomationObject final : public IDispatch {
public:
    LONG references = 1;  // the creator's; the object lives on the test's stack
    LONG level = 7;
    // The types of the last Invoke's arguments in parameter order; a missing argument
    // marked otherwise than as not found shows as VT_ILLEGAL.
    std::vector<VARTYPE> lastTypes;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? this : nullptr;
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    // The commands ask for the type information at once and bind through it only.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** out) override {
        static ITypeInfo* const info = BuildTestTypeInfo();
        info->AddRef();
        *out = info;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO*, UINT*) override {
        lastTypes.clear();
        for (UINT i = 0; i < params->cArgs; ++i) {
            const VARIANT* argument = Argument(params, i);
            const bool oddMark = V_VT(argument) == VT_ERROR && V_ERROR(argument) != DISP_E_PARAMNOTFOUND;
            lastTypes.push_back(oddMark ? VARTYPE{VT_ILLEGAL} : V_VT(argument));
        }
        switch (member) {
            case kEcho: return VariantCopy(result, Argument(params, 0));
            case kFail: return static_cast<HRESULT>(V_I4(Argument(params, 0)));
            case kOutputs:
                for (UINT i = 0; i < params->cArgs; ++i) WriteOutput(Argument(params, i));
                return S_OK;
            case kLevel:
                if (flags == DISPATCH_PROPERTYGET) return Number(result, level);
                // A put names its value, which comes first.
                if (flags != DISPATCH_PROPERTYPUT || params->cNamedArgs != 1 ||
                    params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
                    return DISP_E_PARAMNOTFOUND;
                }
                level = V_I4(&params->rgvarg[0]);
                return S_OK;
            default: return Number(result, static_cast<LONG>(params->cArgs));
        }
    }

private:
    static HRESULT Number(VARIANT* result, LONG value) {
        V_VT(result) = VT_I4;
        V_I4(result) = value;
        return S_OK;
    }
    // The i-th argument in parameter order (DISPPARAMS hold them last first).
    static VARIANT* Argument(DISPPARAMS* params, UINT i) { return &params->rgvarg[params->cArgs - 1 - i]; }

    static void WriteOutput(VARIANT* argument) {
        if (V_VT(argument) == (VT_BYREF | VT_BSTR)) {
            SysReAllocString(V_BSTRREF(argument), L"写回");
        } else if (V_VT(argument) == (VT_BYREF | VT_I4)) {
            *V_I4REF(argument) = 42;
        } else if (V_VT(argument) == (VT_BYREF | VT_VARIANT)) {
            VariantClear(V_VARIANTREF(argument));
            V_VT(V_VARIANTREF(argument)) = VT_R8;
            V_R8(V_VARIANTREF(argument)) = 2.5;
        } else if (V_VT(argument) == (VT_BYREF | VT_ARRAY | VT_UI1)) {
            SAFEARRAY* replacement = SafeArrayCreateVector(VT_UI1, 0, 2);
            std::memcpy(replacement->pvData, "xy", 2);
            SafeArrayDestroy(*V_ARRAYREF(argument));
            *V_ARRAYREF(argument) = replacement;
        }
    }
};

}  // namespace kx::testing
