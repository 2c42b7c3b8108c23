// The member-call engine against the tests' own automation object: binding, argument
// lists, by-reference write-back, failure codes, empty results and reference counts.
#include <condition_variable>
#include <mutex>
#include <thread>

#include "com_test_support.h"
#include "entries.h"
#include "libraries.h"
#include "test_automation_object.h"

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
        ASSERT_NE(TestAutomationObject::TypeInfo(), nullptr);
        variable_.Hold(&object_);
    }
    void TearDown() override {
        EXPECT_EQ(object_.references(), 2) << "a command kept or dropped a reference";
        ComTest::TearDown();
    }
    ValueCell Object() { return variable_.Cell(); }
    // The types of the last call's arguments, in parameter order.
    std::vector<VARTYPE> SeenTypes() const {
        std::vector<VARTYPE> types;
        for (const SeenArgument& argument : object_.lastArguments()) types.push_back(argument.type);
        return types;
    }

    TestAutomationObject object_;
    ObjectVariable variable_;
};

TEST_F(MemberCallTest, ReadsNumbersAndTextsThroughTheBoundMember) {
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Level")})), 7.0);
    EXPECT_EQ(object_.lastFlags(), DISPATCH_PROPERTYGET);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Item"), I(4)})), 40.0);
    EXPECT_EQ(TextOf(ReadText, {Object(), T("Word")}), "not a number");
    EXPECT_EQ(TextOf(ReadText, {Object(), T("Item"), I(5)}), "50");
    // A method answers a read when no property of the name exists.
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Echo"), I(1)})), 1.0);
    EXPECT_EQ(object_.lastFlags(), DISPATCH_METHOD);
    EXPECT_EQ(com::ThreadComFailure(), 0);
    VariantVariable read(Call(ReadVariant, {Object(), T("Word")}));
    ASSERT_EQ(V_VT(read.get()), VT_BSTR);
    EXPECT_STREQ(V_BSTR(read.get()), L"not a number");
}

TEST_F(MemberCallTest, WritesAnIndexedPropertyWithTheValueAsTheNamedArgument) {
    const ValueCell written = Call(WriteProperty, {Object(), T("Item"), I(3), I(99)});
    EXPECT_EQ(written.type(), type_word::kLogical);
    EXPECT_EQ(written.low(), 1u);
    EXPECT_EQ(object_.lastFlags(), DISPATCH_PROPERTYPUT);
    EXPECT_EQ(object_.lastNamedCount(), 1u);
    EXPECT_EQ(object_.itemIndex(), 3);
    EXPECT_EQ(object_.itemValue(), 99);
    // A variable is written by property put as well.
    EXPECT_EQ(Call(WriteProperty, {Object(), T("Level"), I(12)}).low(), 1u);
    EXPECT_EQ(object_.level(), 12);
}

TEST_F(MemberCallTest, DropsTrailingOmittedArgumentsAndMarksMiddleOnesMissing) {
    struct Row {
        std::vector<ValueCell> arguments;
        std::vector<SeenArgument> seen;
    };
    const Row rows[] = {
        {{I(1), Omitted(), Omitted()}, {{VT_I4, S_OK}}},
        {{I(1), Omitted(), I(3)}, {{VT_I4, S_OK}, {VT_ERROR, DISP_E_PARAMNOTFOUND}, {VT_I4, S_OK}}},
        {{T("x"), Logical(true)}, {{VT_BSTR, S_OK}, {VT_BOOL, S_OK}}},
        {{ValueCell::Long(0x100000005), ValueCell::Short(-2), D(1.5)}, {{VT_I4, S_OK}, {VT_I2, S_OK}, {VT_R8, S_OK}}},
    };
    for (const Row& row : rows) {
        std::vector<ValueCell> cells = {Object(), T("Echo")};
        cells.insert(cells.end(), row.arguments.begin(), row.arguments.end());
        ValueCell result;
        CallMethod(&result, static_cast<std::int32_t>(cells.size()), cells.data());
        EXPECT_EQ(com::ThreadComFailure(), 0);
        EXPECT_EQ(result.type(), 0u) << "CallMethod gives no result";
        ASSERT_EQ(object_.lastArguments().size(), row.seen.size());
        for (std::size_t i = 0; i < row.seen.size(); ++i) {
            EXPECT_EQ(object_.lastArguments()[i].type, row.seen[i].type) << i;
            EXPECT_EQ(object_.lastArguments()[i].error, row.seen[i].error) << i;
        }
    }
}

TEST_F(MemberCallTest, PassesAVariableListOnlyWhereTheMemberTakesOne) {
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("CountArgs"), I(1), I(2), T("3"), D(4)})), 4.0);
    EXPECT_EQ(com::ThreadComFailure(), 0);
    const int invokes = object_.invokeCount();
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Echo"), I(1), I(2), I(3), I(4)})), 0.0);
    EXPECT_EQ(com::ThreadComFailure(), com::kTooManyArguments);
    EXPECT_EQ(object_.invokeCount(), invokes) << "refused before Invoke";
}

TEST_F(MemberCallTest, WritesOutputsBackIntoByReferenceVariables) {
    auto* oldText = static_cast<char*>(RtAlloc(4));
    std::memcpy(oldText, "old", 4);
    Word text = ToWord(oldText);
    std::int32_t number = 5;
    VariantVariable any;
    std::int32_t notOut = 8;
    Call(CallMethod, {Object(), T("Outputs"), ValueCell::Reference(&text, type_word::kText),
                      ValueCell::Reference(&number, type_word::kInteger), any.ByReference(),
                      ValueCell::Reference(&notOut, type_word::kInteger)});
    ASSERT_EQ(com::ThreadComFailure(), 0);
    EXPECT_EQ(SeenTypes(), (std::vector<VARTYPE>{VT_BYREF | VT_BSTR, VT_BYREF | VT_I4, VT_BYREF | VT_VARIANT,
                                                 VT_BYREF | VT_I4}));
    EXPECT_EQ(TakeText(ValueCell::Text(FromWord<char*>(text))), "写回");
    EXPECT_EQ(number, 42);
    EXPECT_EQ(V_VT(any.get()), VT_R8);
    EXPECT_EQ(V_R8(any.get()), 2.5);
    EXPECT_EQ(notOut, 8) << "a parameter not marked as output is not written back";
}

TEST_F(MemberCallTest, PassesAnArrayByReferenceWhereDeclaredAndTakesTheNewOneBack) {
    std::vector<Word> bytes = ByteBlock("abc");
    VariantVariable variant;
    ASSERT_EQ(Call(commands::SetVariant, {variant.ByReference(), ValueCell::ByteArray(bytes.data())}).low(), 1u);
    Call(CallMethod, {Object(), T("SwapBytes"), variant.ByReference()});
    EXPECT_EQ(com::ThreadComFailure(), 0);
    EXPECT_EQ(SeenTypes(), std::vector<VARTYPE>{VT_BYREF | VT_ARRAY | VT_UI1});
    EXPECT_EQ(TakeBytes(Call(commands::VariantToBytes, {variant.Cell()})), "xy");
    // A value that is no array goes as it is.
    Call(CallMethod, {Object(), T("SwapBytes"), I(3)});
    EXPECT_EQ(SeenTypes(), std::vector<VARTYPE>{VT_I4});
}

TEST_F(MemberCallTest, AnOutputTheVariableCannotTakeIsFailureEight) {
    std::int32_t number = 5;
    ObjectVariable notANumber;  // receives the output 2.5, which is no object
    Call(CallMethod, {Object(), T("Outputs"), Omitted(), ValueCell::Reference(&number, type_word::kInteger),
                      notANumber.ByReference(), Omitted()});
    EXPECT_EQ(com::ThreadComFailure(), com::kResultNotConvertible);
    EXPECT_EQ(number, 42) << "the other outputs are still written";
    EXPECT_EQ(notANumber.cell().object, 0u);
}

TEST_F(MemberCallTest, ValuesAreCoercedToTheDeclaredReferenceType) {
    double number = 2.0;
    const ValueCell byValue = ValueCell::Double(7.0);
    Call(CallMethod, {Object(), T("Outputs"), I(12), byValue, Omitted(),
                      ValueCell::Reference(&number, type_word::kDouble)});
    EXPECT_EQ(com::ThreadComFailure(), 0);
    // A missing argument (the third) is never by reference.
    EXPECT_EQ(SeenTypes(), (std::vector<VARTYPE>{VT_BYREF | VT_BSTR, VT_BYREF | VT_I4, VT_ERROR, VT_BYREF | VT_I4}));
    EXPECT_EQ(byValue.AsDouble(), 7.0) << "a by-value cell is never written";
    EXPECT_EQ(number, 2.0) << "not an output";
}

TEST_F(MemberCallTest, PassesObjectsByTheDeclaredInterface) {
    TestAutomationObject argument;
    ObjectVariable holder;
    holder.Hold(&argument);
    Call(CallMethod, {Object(), T("TakeDispatch"), holder.Cell()});
    EXPECT_EQ(SeenTypes(), std::vector<VARTYPE>{VT_DISPATCH});
    Call(CallMethod, {Object(), T("TakeUnknown"), holder.ByReference()});
    EXPECT_EQ(SeenTypes(), std::vector<VARTYPE>{VT_UNKNOWN});
    EXPECT_EQ(argument.references(), 2) << "the argument's references are given back";
}

TEST_F(MemberCallTest, FailuresGiveTheEmptyResultOfTheAskedKind) {
    std::vector<Word> bytes = ByteBlock("abc");
    PlainUnknown plain;
    ObjectVariable noDispatch;
    noDispatch.Hold(&plain);
    ObjectVariable empty;
    struct Row {
        const char* what;
        std::vector<ValueCell> cells;
        std::int32_t code;
    };
    const Row rows[] = {
        {"empty object", {empty.Cell(), T("Level")}, com::kObjectEmpty},
        {"null object cell", {ValueCell::Raw(0, 0, type_word::kComObjectType), T("Level")}, com::kObjectEmpty},
        {"wrong kind for the object", {T("Level"), T("Level")}, com::kObjectEmpty},
        {"no arguments at all", {}, com::kObjectEmpty},
        {"no IDispatch", {noDispatch.Cell(), T("Level")}, com::kNoDispatch},
        {"unknown name", {Object(), T("Nothing")}, com::kUnknownMember},
        {"empty name", {Object(), ValueCell::Text(nullptr)}, com::kUnknownMember},
        {"name of the wrong kind", {Object(), I(5)}, com::kUnknownMember},
        {"byte array argument", {Object(), T("Echo"), ValueCell::ByteArray(bytes.data())}, com::kArgumentNotConvertible},
        {"unknown type word", {Object(), T("Echo"), ValueCell::Raw(1, 0, 0x00020001)}, com::kArgumentNotConvertible},
        {"null by-reference variable", {Object(), T("Echo"), ValueCell::Raw(0, 0, type_word::kInteger | type_word::kAddressBit)}, com::kArgumentNotConvertible},
        {"member raises", {Object(), T("Fail")}, com::kMemberRaisedException},
        {"wrong argument type", {Object(), T("Item"), T("x")}, com::kTypeMismatch},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<ValueCell> cells = row.cells;
        const auto count = static_cast<std::int32_t>(cells.size());
        cells.push_back({});
        ValueCell result;
        ReadNumber(&result, count, cells.data());
        EXPECT_EQ(com::ThreadComFailure(), row.code);
        EXPECT_EQ(NumberOf(result), 0.0);
        ReadText(&result, count, cells.data());
        EXPECT_EQ(com::ThreadComFailure(), row.code);
        EXPECT_EQ(TakeText(result), "");
        ReadVariant(&result, count, cells.data());
        EXPECT_EQ(com::ThreadComFailure(), row.code);
        VariantVariable variant(result);
        ASSERT_NE(variant.get(), nullptr);
        EXPECT_EQ(V_VT(variant.get()), VT_EMPTY);
        WriteProperty(&result, count, cells.data());
        EXPECT_EQ(result.type(), type_word::kLogical);
        EXPECT_EQ(result.low(), 0u);
    }
    EXPECT_EQ(plain.references(), 2);
    EXPECT_EQ(bytes[0], 1u) << "the byte array is untouched";
}

TEST_F(MemberCallTest, ARecordTravelsAsACopyAndClearDestroysIt) {
    FakeRecordInfo info;
    auto* data = static_cast<LONG*>(CoTaskMemAlloc(sizeof(LONG)));
    *data = 77;
    {
        ObjectVariable record;
        record.Hold(&info);
        record.cell().record = ToWord(data);
        Call(CallMethod, {Object(), T("Echo"), record.Cell()});
        EXPECT_EQ(com::ThreadComFailure(), 0);
        EXPECT_EQ(SeenTypes(), std::vector<VARTYPE>{VT_RECORD});
        ASSERT_EQ(info.copies.size(), 1u);
        EXPECT_EQ(*data, 77) << "the caller's record is not cleared by the call's clean-up";
        for (void* cleared : info.cleared) EXPECT_NE(cleared, data);
        EXPECT_EQ(info.references(), 2);
        Call(commands::Clear, {record.Cell()});
        EXPECT_EQ(record.cell().object, 0u);
        EXPECT_EQ(record.cell().record, 0u);
    }
    ASSERT_FALSE(info.destroyed.empty());
    EXPECT_EQ(info.destroyed.back(), data);
    EXPECT_EQ(info.references(), 1);
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

TEST_F(MemberCallTest, ProgramCodeReadsTheCodeThroughTheStatusLibrary) {
    Call(CallMethod, {Object(), T("Fail")});
    EXPECT_EQ(FailureCodeThroughTheLibrary(), com::kMemberRaisedException);
    // A result that cannot be converted is failure 8.
    EXPECT_EQ(NumberOf(Call(ReadNumber, {Object(), T("Word")})), 0.0);
    EXPECT_EQ(FailureCodeThroughTheLibrary(), com::kResultNotConvertible);
    // Success resets the code.
    Call(CallMethod, {Object(), T("Echo"), I(1)});
    EXPECT_EQ(FailureCodeThroughTheLibrary(), 0);
}

// Both threads wait here until both have arrived. (std::latch is avoided: its wait can
// miss the wake-up with this toolchain's library.)
class Meeting {
public:
    void ArriveAndWait() {
        std::unique_lock lock(mutex_);
        if (++arrived_ == 2) {
            changed_.notify_all();
            return;
        }
        changed_.wait(lock, [this] { return arrived_ == 2; });
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    int arrived_ = 0;
};

// Each thread sees the code of its own last call, also while the other is calling.
TEST(ComFailureCode, IsKeptPerThread) {
    Meeting bothCalled;
    Meeting bothChecked;
    std::int32_t seen[2] = {1, 1};
    auto run = [&](int which) {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        {
            TestAutomationObject object;
            ObjectVariable variable;
            variable.Hold(&object);
            for (int round = 0; round < 200; ++round) {
                Call(ReadNumber, {variable.Cell(), T(which == 0 ? "Fail" : "Nothing")});
            }
            bothCalled.ArriveAndWait();
            seen[which] = FailureCodeThroughTheLibrary();
            bothChecked.ArriveAndWait();
        }
        CoUninitialize();
    };
    std::thread first(run, 0);
    std::thread second(run, 1);
    first.join();
    second.join();
    EXPECT_EQ(seen[0], com::kMemberRaisedException);
    EXPECT_EQ(seen[1], com::kUnknownMember);
}

}  // namespace
}  // namespace kx::testing
