// Create, Clear and Assign: what a variable holds after each, whose references are taken
// and given back, and that a failing Create keeps the old object.
#include <new>

#include "com_test_support.h"
#include "test_automation_object.h"

namespace kx::testing {
namespace {

using commands::Assign;
using commands::Clear;
using commands::Create;

// A class registered for the process whose factory hands out a given object, optionally
// refusing the first request with E_INVALIDARG.
class TestClassFactory final : public IClassFactory {
public:
    static constexpr CLSID kClassId = {0x6a1f0c13, 0x2b3d, 0x4e5f, {0x8a, 0x9b, 0x0c, 0x1d, 0x2e, 0x3f, 0x40, 0x53}};
    static constexpr char kClassIdText[] = "{6A1F0C13-2B3D-4E5F-8A9B-0C1D2E3F4053}";

    TestClassFactory(IUnknown* product, bool refuseFirst) : product_(product), refuseFirst_(refuseFirst) {
        EXPECT_HRESULT_SUCCEEDED(CoRegisterClassObject(kClassId, this, CLSCTX_INPROC_SERVER,
                                                       REGCLS_MULTIPLEUSE, &cookie_));
    }
    ~TestClassFactory() { CoRevokeClassObject(cookie_); }
    int requests() const { return requests_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IClassFactory) {
            *out = this;
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID iid, void** out) override {
        ++requests_;
        if (refuseFirst_ && requests_ == 1) return E_INVALIDARG;
        return product_->QueryInterface(iid, out);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

private:
    IUnknown* product_;
    bool refuseFirst_;
    int requests_ = 0;
    DWORD cookie_ = 0;
};

class ObjectCommandsTest : public ComTest {};

TEST_F(ObjectCommandsTest, CreateByClassIdentifierRetriesAndReplacesTheOldObjectOnlyOnSuccess) {
    TestAutomationObject old;
    TestAutomationObject product;
    ObjectVariable variable;
    variable.Hold(&old);
    {
        // Refused with invalid argument, the request is made again without the remote server.
        TestClassFactory factory(&product, true);
        // A type-library path is never consulted for an identifier in braces.
        const ValueCell created =
            Call(Create, {variable.Cell(), T(TestClassFactory::kClassIdText), T("C:\\no\\such.tlb")});
        EXPECT_EQ(created.type(), type_word::kLogical);
        EXPECT_EQ(created.low(), 1u);
        EXPECT_EQ(factory.requests(), 2);
    }
    EXPECT_EQ(old.references(), 1) << "the old object was released";
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&product));
    EXPECT_EQ(product.references(), 2);

    const char* failing[] = {"No.Such.Object", "{not a class id}", ""};
    for (const char* identifier : failing) {
        const ValueCell created = Call(Create, {variable.Cell(), T(identifier)});
        EXPECT_EQ(created.type(), type_word::kLogical);
        EXPECT_EQ(created.low(), 0u) << identifier;
        EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&product)) << identifier;
    }
    EXPECT_EQ(product.references(), 2);
    Call(Clear, {variable.ByReference()});
    EXPECT_EQ(variable.cell().object, 0u);
    EXPECT_EQ(product.references(), 1);
}

// A type library file with one class, KxTestClass, implemented by the registered factory.
// Saved under a name without a backslash, so Create does not register it.
bool WriteClassLibrary(const wchar_t* file) {
    ICreateTypeLib2* library = nullptr;
    if (FAILED(CreateTypeLib2(SYS_WIN32, file, &library))) return false;
    const GUID libraryId = {0x6a1f0c14, 0x2b3d, 0x4e5f, {0x8a, 0x9b, 0x0c, 0x1d, 0x2e, 0x3f, 0x40, 0x54}};
    library->SetGuid(libraryId);
    library->SetName(const_cast<LPOLESTR>(L"KxClassLibrary"));
    ICreateTypeInfo* type = nullptr;
    bool written = false;
    if (SUCCEEDED(library->CreateTypeInfo(const_cast<LPOLESTR>(L"KxTestClass"), TKIND_COCLASS, &type))) {
        type->SetGuid(TestClassFactory::kClassId);
        type->SetTypeFlags(TYPEFLAG_FCANCREATE);
        written = SUCCEEDED(type->LayOut()) && SUCCEEDED(library->SaveAllChanges());
        type->Release();
    }
    library->Release();
    return written;
}

TEST_F(ObjectCommandsTest, CreateFindsTheClassByNameInATypeLibrary) {
    ASSERT_TRUE(WriteClassLibrary(L"kx_create_test.tlb"));
    TestAutomationObject product;
    ObjectVariable variable;
    {
        TestClassFactory factory(&product, false);
        EXPECT_EQ(Call(Create, {variable.Cell(), T("KxTestClass"), T("kx_create_test.tlb")}).low(), 1u);
        EXPECT_EQ(factory.requests(), 1);
        // Not in the library and no such programmatic identifier either.
        EXPECT_EQ(Call(Create, {variable.Cell(), T("KxOtherClass"), T("kx_create_test.tlb")}).low(), 0u);
    }
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&product));
    DeleteFileW(L"kx_create_test.tlb");
}

TEST_F(ObjectCommandsTest, AnObjectAboveTheWordRangeIsRefusedNotCut) {
    if constexpr (sizeof(void*) == sizeof(Word)) GTEST_SKIP() << "every address fits a word";
    void* high = nullptr;
    for (std::uint64_t base = 0x200000000; base <= 0x700000000 && !high; base += 0x100000000) {
        high = VirtualAlloc(reinterpret_cast<void*>(static_cast<std::uintptr_t>(base)), 0x10000,
                            MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    }
    if (!high) GTEST_SKIP() << "no memory above 4 GiB to be had";
    auto* product = new (high) TestAutomationObject();
    TestAutomationObject old;
    ObjectVariable variable;
    variable.Hold(&old);
    {
        TestClassFactory factory(product, false);
        EXPECT_EQ(Call(Create, {variable.Cell(), T(TestClassFactory::kClassIdText)}).low(), 0u);
        EXPECT_EQ(factory.requests(), 1);
    }
    EXPECT_EQ(variable.object(), static_cast<IUnknown*>(&old));
    EXPECT_EQ(product->references(), 1) << "the refused object was released";
    product->~TestAutomationObject();
    VirtualFree(high, 0, MEM_RELEASE);
}

TEST_F(ObjectCommandsTest, AssignSharesTheObjectWithAReferenceOfItsOwn) {
    TestAutomationObject object;
    ObjectVariable source;
    source.Hold(&object);
    ObjectVariable target;
    target.cell().record = 0x1234;  // dropped, as the target is assumed fresh
    Call(Assign, {target.Cell(), source.ByReference()});
    EXPECT_EQ(target.object(), static_cast<IUnknown*>(&object));
    EXPECT_EQ(target.cell().record, 0u);
    EXPECT_EQ(object.references(), 3);
    Call(Clear, {target.Cell()});
    EXPECT_EQ(object.references(), 2);

    ObjectVariable empty;
    Call(Assign, {target.Cell(), empty.Cell()});
    EXPECT_EQ(target.cell().object, 0u);
    // Nothing to assign into or from: no effect, no crash.
    Call(Assign, {ValueCell::Raw(0, 0, type_word::kComObjectType), source.Cell()});
    Call(Assign, {T("not an object"), source.Cell()});
    Call(Assign, {target.Cell(), I(1)});
    EXPECT_EQ(target.cell().object, 0u);
    EXPECT_EQ(object.references(), 2);
}

TEST_F(ObjectCommandsTest, ClearFreesALoneRecordAndIgnoresEmptyCells) {
    ObjectVariable variable;
    variable.cell().record = ToWord(RtAlloc(16));
    Call(Clear, {variable.Cell()});
    EXPECT_EQ(variable.cell().record, 0u);
    Call(Clear, {variable.Cell()});
    Call(Clear, {ValueCell::Raw(0, 0, type_word::kComObjectType)});
    Call(Clear, {});
    EXPECT_EQ(variable.cell().object, 0u);
}

TEST_F(ObjectCommandsTest, LeaveTheFailureCodeAlone) {
    ObjectVariable empty;
    Call(commands::ReadNumber, {empty.Cell(), T("x")});
    ASSERT_EQ(com::ThreadComFailure(), com::kObjectEmpty);
    ObjectVariable variable;
    Call(Create, {variable.Cell(), T("Scripting.Dictionary")});
    Call(Assign, {empty.Cell(), variable.Cell()});
    Call(Clear, {empty.Cell()});
    Call(commands::SetVariant, {empty.Cell(), I(1)});
    EXPECT_EQ(com::ThreadComFailure(), com::kObjectEmpty);
}

}  // namespace
}  // namespace kx::testing
