// An automation object of the tests' own: an IDispatch with type information built at run
// time, whose members reach what the system objects cannot (by-reference outputs, a
// variable argument list, optional parameters, a raised exception, an unconvertible
// result, declared interface parameters). It counts its references and records the
// arguments of the last Invoke.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

namespace kx::testing {

// Member identifiers of the test object.
enum TestMember : DISPID {
    kEcho = 1,          // Echo(VARIANT a, [opt] VARIANT b, [opt] VARIANT c) -> number of args
    kCountArgs = 2,     // CountArgs(LONG first, SAFEARRAY(VARIANT) rest) vararg -> args seen
    kOutputs = 3,       // Outputs([out] BSTR*, [out] LONG*, [in,out] VARIANT*, [in] LONG*)
    kFail = 4,          // Fail() -> DISP_E_EXCEPTION
    kWordProperty = 5,  // property get Word -> BSTR "not a number"
    kTakeDispatch = 6,  // TakeDispatch(IDispatch*)
    kTakeUnknown = 7,   // TakeUnknown(IUnknown*)
    kItem = 8,          // property Item(LONG index): get -> index * 10; put records both
    kLevel = 9,         // variable Level (LONG), read and written
};

// What one received argument looked like, in parameter order.
struct SeenArgument {
    VARTYPE type;
    HRESULT error;  // for VT_ERROR
};

class TestAutomationObject final : public IDispatch {
public:
    // The type information is shared by every instance; built on first use.
    static ITypeInfo* TypeInfo();

    TestAutomationObject();
    TestAutomationObject(const TestAutomationObject&) = delete;
    TestAutomationObject& operator=(const TestAutomationObject&) = delete;

    LONG references() const { return references_; }
    const std::vector<SeenArgument>& lastArguments() const { return lastArguments_; }
    WORD lastFlags() const { return lastFlags_; }
    UINT lastNamedCount() const { return lastNamedCount_; }
    LONG itemIndex() const { return itemIndex_; }
    LONG itemValue() const { return itemValue_; }
    LONG level() const { return level_; }
    int invokeCount() const { return invokeCount_; }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;

private:
    LONG references_ = 1;  // the creator's reference; the object lives on the test's stack
    std::vector<SeenArgument> lastArguments_;
    WORD lastFlags_ = 0;
    UINT lastNamedCount_ = 0;
    LONG itemIndex_ = 0;
    LONG itemValue_ = 0;
    LONG level_ = 7;
    int invokeCount_ = 0;
};

// An object with IUnknown only: no IDispatch.
class PlainUnknown final : public IUnknown {
public:
    LONG references() const { return references_; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

private:
    LONG references_ = 1;
};

}  // namespace kx::testing
