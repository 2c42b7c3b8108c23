// Create, Clear and Assign: what a variable holds after each, whose references are taken
// and given back, and that a failing Create keeps the old object.
#include <new>

#include "com_test_support.h"

namespace kx::testing {
namespace {

using commands::Assign;
using commands::Clear;
using commands::Create;

constexpr CLSID kClassId = {0x6a1f0c13, 0x2b3d, 0x4e5f, {0x8a, 0x9b, 0x0c, 0x1d, 0x2e, 0x3f, 0x40, 0x53}};
constexpr char kClassIdText[] = "{6A1F0C13-2B3D-4E5F-8A9B-0C1D2E3F4053}";

// The class kClassId, registered for the process while it lives: its factory hands out
// `product`, refusing the first request with E_INVALIDARG if asked to.
class TestClassFactory final : public IClassFactory {
public:
    int requests = 0;

    TestClassFactory(IUnknown* product, bool refuseFirst) : product_(product), refuseFirst_(refuseFirst) {
        EXPECT_HRESULT_SUCCEEDED(CoRegisterClassObject(kClassId, this, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~TestClassFactory() { CoRevokeClassObject(cookie_); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IClassFactory ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        if (++requests == 1 && refuseFirst_) return E_INVALIDARG;
        return product_->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* product_;
    bool refuseFirst_;
    DWORD cookie_ = 0;
};

class ObjectCommandsTest : public ComTest {};

// A type library with one class, KxTestClass, made by the registered factory. Its name has
// no backslash, so Create does not register it.
void WriteClassLibrary() {
    ICreateTypeLib2* library = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CreateTypeLib2(SYS_WIN32, L"kx_create_test.tlb", &library));
    library->SetName(const_cast<LPOLESTR>(L"KxClassLibrary"));
    ICreateTypeInfo* type = nullptr;
    ASSERT_HRESULT_SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"KxTestClass"), TKIND_COCLASS, &type));
    type->SetGuid(kClassId);
    type->SetTypeFlags(TYPEFLAG_FCANCREATE);
    EXPECT_HRESULT_SUCCEEDED(type->LayOut());
    EXPECT_HRESULT_SUCCEEDED(library->SaveAllChanges());
    type->Release();
    library->Release();
}

TEST_F(ObjectCommandsTest, CreateReplacesTheOldObjectOnlyOnSuccess) {
    TestAutomationObject old;
    TestAutomationObject product;
    ObjectVariable variable;
    variable.Hold(&old);
    {
        // Refused with invalid argument, the request is made again without the remote server.
        TestClassFactory factory(&product, true);
        // A type-library path is never consulted for an identifier in braces.
        EXPECT_EQ(Call(Create, {variable.Cell(), T(kClassIdText), T("C:\\no\\such.tlb")}).low(), 1u);
        EXPECT_EQ(factory.requests, 2);
    }
    EXPECT_EQ(old.references, 1) << "the old object was released";
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&product));
    for (const char* identifier : {"No.Such.Object", "{not a class id}", ""}) {
        EXPECT_EQ(Call(Create, {variable.Cell(), T(identifier)}).low(), 0u) << identifier;
    }
    EXPECT_EQ(product.references, 2);

    WriteClassLibrary();
    {
        TestClassFactory factory(&old, false);
        EXPECT_EQ(Call(Create, {variable.Cell(), T("KxTestClass"), T("kx_create_test.tlb")}).low(), 1u);
        EXPECT_EQ(factory.requests, 1);
        // Not in the library and no such programmatic identifier either.
        EXPECT_EQ(Call(Create, {variable.Cell(), T("KxOtherClass"), T("kx_create_test.tlb")}).low(), 0u);
    }
    DeleteFileW(L"kx_create_test.tlb");
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&old));
    EXPECT_EQ(product.references, 1);

    // An object above the word range is refused, not cut.
    void* high = nullptr;
    for (std::uint64_t base = 0x200000000; sizeof(void*) > sizeof(Word) && base <= 0x700000000 && !high;
         base += 0x100000000) {
        high = VirtualAlloc(reinterpret_cast<void*>(static_cast<std::uintptr_t>(base)), 0x10000,
                            MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    }
    if (high) {
        auto* highProduct = new (high) TestAutomationObject();
        {
            TestClassFactory factory(highProduct, false);
            EXPECT_EQ(Call(Create, {variable.Cell(), T(kClassIdText)}).low(), 0u);
            EXPECT_EQ(factory.requests, 1);
        }
        EXPECT_EQ(highProduct->references, 1) << "the refused object was released";
        highProduct->~TestAutomationObject();
        VirtualFree(high, 0, MEM_RELEASE);
    }
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&old));
    Call(Clear, {variable.ByReference()});
    EXPECT_EQ(variable.cell().object, 0u);
    EXPECT_EQ(old.references, 1);
}

TEST_F(ObjectCommandsTest, AssignAndClearTakeAndGiveBackReferencesAndLeaveTheFailureCode) {
    Call(commands::ReadNumber, {ValueCell::Raw(0, 0, type_word::kComObjectType), T("x")});
    ASSERT_EQ(com::ThreadComFailure(), com::kObjectEmpty);
    TestAutomationObject object;
    ObjectVariable source;
    source.Hold(&object);
    ObjectVariable target;
    target.cell().record = 0x1234;  // dropped, as the target is assumed fresh
    Call(Assign, {target.Cell(), source.ByReference()});
    EXPECT_EQ(target.object(), static_cast<IUnknown*>(&object));
    EXPECT_EQ(target.cell().record, 0u);
    EXPECT_EQ(object.references, 3);
    Call(Clear, {target.Cell()});
    EXPECT_EQ(object.references, 2);
    ObjectVariable empty;
    Call(Assign, {target.Cell(), empty.Cell()});
    EXPECT_EQ(target.cell().object, 0u);
    // Nothing to assign into or from, nothing to clear: no effect, no crash.
    Call(Assign, {ValueCell::Raw(0, 0, type_word::kComObjectType), source.Cell()});
    Call(Assign, {T("not an object"), source.Cell()});
    Call(Assign, {target.Cell(), I(1)});
    EXPECT_EQ(target.cell().object, 0u);
    EXPECT_EQ(object.references, 2);
    // A lone record is freed.
    target.cell().record = ToWord(RtAlloc(16));
    Call(Clear, {target.Cell()});
    EXPECT_EQ(target.cell().record, 0u);
    Call(Clear, {ValueCell::Raw(0, 0, type_word::kComObjectType)});
    Call(Clear, {});
    EXPECT_EQ(Call(Create, {target.Cell(), T("Scripting.Dictionary")}).low(), 1u);
    Call(commands::SetVariant, {target.Cell(), I(1)});
    EXPECT_EQ(com::ThreadComFailure(), com::kObjectEmpty) << "none of them changes the failure code";
}

}  // namespace
}  // namespace kx::testing
