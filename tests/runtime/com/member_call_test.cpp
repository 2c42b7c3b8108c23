// The member-call engine against the tests' own automation object: binding, argument
// lists, by-reference write-back, failure codes, empty results and reference counts.
#include <thread>

#include "com_test_support.h"
#include "entries.h"
#include "libraries.h"

namespace kx::testing {
namespace {

using commands::CallMethod;
using commands::ReadNumber;
using commands::ReadText;
using commands::ReadVariant;
using commands::WriteProperty;

class MemberCallTest : public ComTest {
protected:
    void SetUp() override {
        ComTest::SetUp();
        variable_.Hold(&object_);
    }
    void TearDown() override {
        EXPECT_EQ(object_.references, 2) << "a command or an argument kept or dropped a reference";
        ComTest::TearDown();
    }
    ValueCell Object() { return variable_.Cell(); }

    TestAutomationObject object_;
    ObjectVariable variable_;
};

// A variable is read by property get and written by property put, its value named.
TEST_F(MemberCallTest, ReadsAndWritesAVariable) {
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Level")})), 7.0);
    EXPECT_EQ(Call(WriteProperty, {Object(), T("Level"), I(12)}).low(), 1u);
    EXPECT_EQ(object_.level, 12);
    EXPECT_EQ(com::ThreadComFailure(), 0);
}

TEST_F(MemberCallTest, PassesArgumentsAsTheMemberDeclaresThem) {
    struct Row {
        const char* what;
        const char* member;
        std::vector<ValueCell> arguments;
        std::vector<VARTYPE> seen;
    };
    const Row rows[] = {
        {"trailing omissions dropped", "Echo", {I(1), Omitted(), Omitted()}, {VT_I4}},
        {"middle omission missing", "Echo", {I(1), Omitted(), I(3)}, {VT_I4, VT_ERROR, VT_I4}},
        {"text and logical", "Echo", {T("x"), Logical(true)}, {VT_BSTR, VT_BOOL}},
        {"numbers", "Echo", {ValueCell::Long(0x100000005), ValueCell::Short(-2), D(1.5)}, {VT_I4, VT_I2, VT_R8}},
        {"variable list", "CountArgs", {I(1), I(2), T("3"), D(4)}, {VT_I4, VT_I4, VT_BSTR, VT_R8}},
        {"declared interfaces", "Take", {Object(), variable_.ByReference()}, {VT_DISPATCH, VT_UNKNOWN}},
        // Values go by reference to copies of the declared type; a missing one never does.
        {"declared references", "Outputs", {I(12), D(7), Omitted(), I(8), I(3)},
         {VT_BYREF | VT_BSTR, VT_BYREF | VT_I4, VT_ERROR, VT_BYREF | VT_I4, VT_I4}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<ValueCell> cells = {Object(), T(row.member)};
        cells.insert(cells.end(), row.arguments.begin(), row.arguments.end());
        ValueCell result;
        CallMethod(&result, static_cast<std::int32_t>(cells.size()), cells.data());
        EXPECT_EQ(com::ThreadComFailure(), 0);
        EXPECT_EQ(result.type(), 0u) << "CallMethod gives no result";
        EXPECT_EQ(object_.lastTypes, row.seen);
    }
}

TEST_F(MemberCallTest, WritesDeclaredOutputsBackIntoByReferenceVariables) {
    Word text = ToWord(std::memcpy(RtAlloc(4), "old", 4));
    std::int32_t number = 5;
    std::int32_t notOut = 8;
    VariantVariable any;
    VariantVariable bytes;
    std::vector<Word> abc = ByteBlock("abc");
    ASSERT_EQ(Call(commands::SetVariant, {bytes.ByReference(), ValueCell::ByteArray(abc.data())}).low(), 1u);
    Call(CallMethod, {Object(), T("Outputs"), ValueCell::Reference(&text, type_word::kText),
                      ValueCell::Reference(&number, type_word::kInteger), any.ByReference(),
                      ValueCell::Reference(&notOut, type_word::kInteger), bytes.ByReference()});
    ASSERT_EQ(com::ThreadComFailure(), 0);
    EXPECT_EQ(object_.lastTypes, (std::vector<VARTYPE>{VT_BYREF | VT_BSTR, VT_BYREF | VT_I4, VT_BYREF | VT_VARIANT,
                                                       VT_BYREF | VT_I4, VT_BYREF | VT_ARRAY | VT_UI1}));
    EXPECT_EQ(TakeText(ValueCell::Text(FromWord<char*>(text))), "写回");
    EXPECT_EQ(number, 42);
    EXPECT_EQ(V_VT(any.get()), VT_R8);
    EXPECT_EQ(V_R8(any.get()), 2.5);
    EXPECT_EQ(notOut, 8) << "a parameter not marked as output is not written back";
    EXPECT_EQ(TakeBytes(Call(commands::VariantToBytes, {bytes.Cell()})), "xy");

    // An output the variable cannot take is failure 8; the others are still written.
    number = 5;
    ObjectVariable notANumber;
    Call(CallMethod, {Object(), T("Outputs"), Omitted(), ValueCell::Reference(&number, type_word::kInteger),
                      notANumber.ByReference()});
    EXPECT_EQ(com::ThreadComFailure(), com::kResultNotConvertible);
    EXPECT_EQ(number, 42);
    EXPECT_EQ(notANumber.cell().object, 0u);
}

// Record information for a record of one 32-bit integer: counts its references and notes
// the copies it makes and the records it destroys.
class FakeRecordInfo final : public IRecordInfo {
public:
    LONG references = 1;
    std::vector<void*> copies;
    std::vector<void*> destroyed;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override { return --references; }
    HRESULT STDMETHODCALLTYPE RecordInit(PVOID) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RecordClear(PVOID existing) override {
        *static_cast<LONG*>(existing) = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RecordCopy(PVOID, PVOID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetGuid(GUID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetName(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetSize(ULONG* size) override {
        *size = sizeof(LONG);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetField(PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNoCopy(PVOID, LPCOLESTR, VARIANT*, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutField(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PutFieldNoCopy(ULONG, PVOID, LPCOLESTR, VARIANT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFieldNames(ULONG*, BSTR*) override { return E_NOTIMPL; }
    WINBOOL STDMETHODCALLTYPE IsMatchingType(IRecordInfo* other) override { return other == this; }
    PVOID STDMETHODCALLTYPE RecordCreate() override { return CoTaskMemAlloc(sizeof(LONG)); }
    HRESULT STDMETHODCALLTYPE RecordCreateCopy(PVOID source, PVOID* copy) override {
        copies.push_back(*copy = RecordCreate());
        *static_cast<LONG*>(*copy) = *static_cast<LONG*>(source);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RecordDestroy(PVOID record) override {
        destroyed.push_back(record);
        CoTaskMemFree(record);
        return S_OK;
    }
};

// The empty number, text, Variant or false, freed.
bool IsEmptyOfItsKind(const ValueCell& result) {
    switch (result.type()) {
        case type_word::kDouble: return result.AsDouble() == 0.0;
        case type_word::kText: return TakeText(result).empty();
        case type_word::kVariantType: return V_VT(VariantVariable(result).get()) == VT_EMPTY;
        case type_word::kLogical: return result.low() == 0;
        default: return false;
    }
}

TEST_F(MemberCallTest, FailuresGiveTheEmptyResultOfTheAskedKind) {
    std::vector<Word> bytes = ByteBlock("abc");
    FakeRecordInfo notDispatch;  // an object with no IDispatch
    ObjectVariable noDispatch;
    noDispatch.Hold(&notDispatch);
    ObjectVariable empty;
    struct Row {
        const char* what;
        std::vector<ValueCell> cells;
        std::int32_t code;
    };
    const Row rows[] = {
        {"empty object", {empty.Cell(), T("Level")}, com::kObjectEmpty},
        {"null object cell", {ValueCell::Raw(0, 0, type_word::kComObjectType), T("Level")}, com::kObjectEmpty},
        {"null object variable", {ValueCell::Raw(0, 0, type_word::kComObjectType | type_word::kAddressBit), T("Level")}, com::kObjectEmpty},
        {"wrong kind for the object", {T("Level"), T("Level")}, com::kObjectEmpty},
        {"no arguments at all", {}, com::kObjectEmpty},
        {"no IDispatch", {noDispatch.Cell(), T("Level")}, com::kNoDispatch},
        {"unknown name", {Object(), T("Nothing")}, com::kUnknownMember},
        {"empty name", {Object(), ValueCell::Text(nullptr)}, com::kUnknownMember},
        {"name of the wrong kind", {Object(), I(5)}, com::kUnknownMember},
        {"too many arguments", {Object(), T("Echo"), I(1), I(2), I(3), I(4)}, com::kTooManyArguments},
        {"byte array argument", {Object(), T("Echo"), ValueCell::ByteArray(bytes.data())}, com::kArgumentNotConvertible},
        {"unknown type word", {Object(), T("Echo"), ValueCell::Raw(1, 0, 0x00020001)}, com::kArgumentNotConvertible},
        {"null by-reference variable", {Object(), T("Echo"), ValueCell::Raw(0, 0, type_word::kInteger | type_word::kAddressBit)}, com::kArgumentNotConvertible},
        {"member raises", {Object(), T("Fail"), I(DISP_E_EXCEPTION)}, com::kMemberRaisedException},
        {"type mismatch", {Object(), T("Fail"), I(DISP_E_TYPEMISMATCH)}, com::kTypeMismatch},
        {"bad count", {Object(), T("Fail"), I(DISP_E_BADPARAMCOUNT)}, com::kBadParamCount},
        {"member not found", {Object(), T("Fail"), I(DISP_E_MEMBERNOTFOUND)}, com::kMemberNotFound},
        {"other failure", {Object(), T("Fail"), I(E_FAIL)}, com::kOtherInvokeFailure},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<ValueCell> cells = row.cells;
        const auto count = static_cast<std::int32_t>(cells.size());
        cells.push_back({});
        for (CommandFn command : {ReadNumber, ReadText, ReadVariant, WriteProperty}) {
            ValueCell result;
            command(&result, count, cells.data());
            EXPECT_EQ(com::ThreadComFailure(), row.code);
            EXPECT_TRUE(IsEmptyOfItsKind(result)) << std::hex << result.type();
        }
        Call(CallMethod, {Object(), T("Echo"), I(1)});
        EXPECT_EQ(com::ThreadComFailure(), 0) << "success resets the code";
    }
    EXPECT_EQ(bytes[0], 1u) << "the byte array is untouched";
    // A result that cannot be converted is failure 8.
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Echo"), T("not a number")})), 0.0);
    EXPECT_EQ(com::ThreadComFailure(), com::kResultNotConvertible);
}

TEST_F(MemberCallTest, ARecordTravelsAsACopyAndClearDestroysIt) {
    FakeRecordInfo info;
    auto* data = static_cast<LONG*>(CoTaskMemAlloc(sizeof(LONG)));
    *data = 77;
    {
        ObjectVariable record;
        record.Hold(&info);
        record.cell().record = ToWord(data);
        Call(CallMethod, {Object(), T("Take"), record.Cell()});
        EXPECT_EQ(com::ThreadComFailure(), 0);
        EXPECT_EQ(object_.lastTypes, std::vector<VARTYPE>{VT_RECORD});
        EXPECT_EQ(info.copies.size(), 1u);
        EXPECT_EQ(*data, 77) << "the caller's record is not cleared by the call's clean-up";
        EXPECT_EQ(info.references, 2);
        Call(commands::Clear, {record.Cell()});
        EXPECT_EQ(record.cell().object, 0u);
        EXPECT_EQ(record.cell().record, 0u);
    }
    ASSERT_FALSE(info.destroyed.empty());
    EXPECT_EQ(info.destroyed.back(), data);
    EXPECT_EQ(info.references, 1);
}

// The code as program code reads it: command 0 of the COM status library, called through
// the library-command entry.
std::int32_t FailureCodeThroughTheLibrary() {
    const auto* table = FromWord<const Word*>(image::kComStatusLibraryDescriptor.commandFunctions);
    ValueCell unused;
    const ValueCell result = RtCallLibraryCommand(2, table[0], 0, &unused);
    EXPECT_EQ(result.type(), type_word::kInteger);
    return result.AsInt32();
}

// Each thread sees the code of its own last call, also when another called since.
TEST_F(MemberCallTest, KeepsTheFailureCodePerThreadForTheStatusLibrary) {
    Call(ReadNumber, {Object(), T("Fail"), I(DISP_E_EXCEPTION)});
    std::int32_t seenByOther = 0;
    std::thread other([&] {
        Call(ReadNumber, {Object(), T("Fail"), I(DISP_E_TYPEMISMATCH)});
        seenByOther = FailureCodeThroughTheLibrary();
    });
    other.join();
    EXPECT_EQ(seenByOther, com::kTypeMismatch);
    EXPECT_EQ(FailureCodeThroughTheLibrary(), com::kMemberRaisedException);
}

}  // namespace
}  // namespace kx::testing
