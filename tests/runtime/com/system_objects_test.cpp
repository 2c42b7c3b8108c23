// The commands against the system's own automation objects: the HTTP request object
// talking to a loopback server, and the dictionary object.
#include "com_test_support.h"
#include "kx/program_calls.h"
#include "loopback_http_server.h"
#include "test_automation_object.h"

namespace kx::testing {
namespace {

using namespace kx::commands;

class SystemObjectsTest : public ComTest {
protected:
    // Each command of a step must leave the failure code at 0.
    void ExpectSuccess(const char* step) { EXPECT_EQ(com::ThreadComFailure(), 0) << step; }
    void TearDown() override {
        Call(Clear, {request_.Cell()});  // while COM is still initialised
        ComTest::TearDown();
    }

    // A request object opened for a synchronous request.
    void Open(const char* method, const std::string& url) {
        ASSERT_EQ(Call(Create, {request_.Cell(), T("WinHttp.WinHttpRequest.5.1")}).low(), 1u);
        Call(CallMethod, {request_.Cell(), T("Open"), T(method), ValueCell::Text(url.c_str()), Logical(false)});
        ExpectSuccess("Open");
    }

    LoopbackHttpServer server_;
    ObjectVariable request_;
};

TEST_F(SystemObjectsTest, RequestObjectMakesARequestAndReadsTheAnswer) {
    server_.Script({{"HTTP/1.1 200 OK", {"X-Kx: yes"}, "hello"}});
    ASSERT_EQ(Call(Create, {request_.Cell(), T("WinHttp.WinHttpRequest.5.1")}).low(), 1u);
    const std::string url = server_.Url("/time");
    Word urlVariable = ToWord(url.c_str());
    // The module passes the method and URL by reference; Open declares them by value.
    Call(CallMethod, {request_.Cell(), T("Open"), T("GET"),
                      ValueCell::Reference(&urlVariable, type_word::kText), Logical(false)});
    ExpectSuccess("Open");
    EXPECT_EQ(Call(WriteProperty, {request_.Cell(), T("Option"), I(6), Logical(false)}).low(), 1u);
    ExpectSuccess("Option(6) put");
    Call(CallMethod, {request_.Cell(), T("SetRequestHeader"), T("X-Test"), T("是")});
    ExpectSuccess("SetRequestHeader");
    Call(CallMethod, {request_.Cell(), T("Send"), T("")});
    ExpectSuccess("Send");
    EXPECT_EQ(NumberOf(Call(ReadNumber, {request_.Cell(), T("Status")})), 200.0);
    ExpectSuccess("Status");
    EXPECT_EQ(TextOf(ReadText, {request_.Cell(), T("Status")}), "200");
    const std::string headers = TextOf(ReadText, {request_.Cell(), T("GetAllResponseHeaders")});
    ExpectSuccess("GetAllResponseHeaders");
    EXPECT_NE(headers.find("X-Kx: yes\r\n"), std::string::npos) << headers;
    VariantVariable body(Call(ReadVariant, {request_.Cell(), T("ResponseBody")}));
    ExpectSuccess("ResponseBody");
    EXPECT_EQ(TakeBytes(Call(VariantToBytes, {body.Cell()})), "hello");
    EXPECT_EQ(urlVariable, ToWord(url.c_str())) << "Open's URL is not an output";
    const std::vector<RecordedRequest> received = server_.Requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].requestLine, "GET /time HTTP/1.1");
    ASSERT_NE(received[0].Header("X-Test"), nullptr);
    EXPECT_EQ(*received[0].Header("X-Test"), "\xE6\x98\xAF") << "header value as UTF-8";
}

TEST_F(SystemObjectsTest, RequestObjectSendsAByteBodyThroughAVariant) {
    Open("POST", server_.Url("/post"));
    std::vector<Word> bytes = ByteBlock(std::string("a\0c", 3));
    VariantVariable body;
    ASSERT_EQ(Call(SetVariant, {body.ByReference(), ValueCell::ByteArray(bytes.data())}).low(), 1u);
    Call(CallMethod, {request_.Cell(), T("Send"), body.ByReference()});
    ExpectSuccess("Send with a byte body");
    EXPECT_EQ(NumberOf(Call(ReadNumber, {request_.Cell(), T("Status")})), 200.0);
    const std::vector<RecordedRequest> received = server_.Requests();
    ASSERT_EQ(received.size(), 1u);
    // Wine here was seen to send one byte more than a lower-bound-1 array holds.
    EXPECT_EQ(received[0].body.substr(0, 3), std::string("a\0c", 3));
}

TEST_F(SystemObjectsTest, AFailedRequestIsFailureElevenAndEmptyResults) {
    Open("GET", "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()) + "/");
    Call(CallMethod, {request_.Cell(), T("Send")});
    EXPECT_EQ(com::ThreadComFailure(), com::kMemberRaisedException);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {request_.Cell(), T("Status")})), 0.0);
    EXPECT_NE(com::ThreadComFailure(), 0);
    EXPECT_EQ(TextOf(ReadText, {request_.Cell(), T("GetAllResponseHeaders")}), "");
    EXPECT_EQ(Call(ReadText, {request_.Cell(), T("NoSuchMember")}).type(), type_word::kText);
    EXPECT_EQ(com::ThreadComFailure(), com::kUnknownMember);
}

TEST_F(SystemObjectsTest, DictionaryPropertiesMethodsAndKeys) {
    ObjectVariable dictionary;
    ASSERT_EQ(Call(Create, {dictionary.Cell(), T("Scripting.Dictionary")}).low(), 1u);
    Call(CallMethod, {dictionary.Cell(), T("Add"), T("a"), I(1)});
    ExpectSuccess("Add");
    EXPECT_EQ(Call(WriteProperty, {dictionary.Cell(), T("Item"), T("b"), T("值")}).low(), 1u);
    ExpectSuccess("Item put");
    EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Count")})), 2.0);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), T("a")})), -1.0);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), T("z")})), 0.0);
    ExpectSuccess("Exists");
    EXPECT_EQ(TextOf(ReadText, {dictionary.Cell(), T("Item"), T("b")}), "值");
    EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Item"), T("a")})), 1.0);

    VariantVariable keys(Call(ReadVariant, {dictionary.Cell(), T("Keys")}));
    ExpectSuccess("Keys");
    ASSERT_EQ(V_VT(keys.get()), VT_ARRAY | VT_VARIANT);
    // The key array's elements, rewritten by position and read back as bytes.
    EXPECT_EQ(Call(SetVariant, {keys.Cell(), T("c"), I(2)}).low(), 1u);
    const std::string expected[] = {"a", "c"};
    for (LONG i = 0; i < 2; ++i) {
        VARIANT element;
        VariantInit(&element);
        ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(V_ARRAY(keys.get()), &i, &element));
        ASSERT_EQ(V_VT(&element), VT_BSTR);
        EXPECT_EQ(std::wstring(V_BSTR(&element)), std::wstring(1, static_cast<wchar_t>(expected[i][0])));
        VariantClear(&element);
    }
    // A key as a Variant argument: passed with one level of reference removed.
    VariantVariable key;
    ASSERT_EQ(Call(SetVariant, {key.ByReference(), T("a")}).low(), 1u);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), key.ByReference()})), -1.0);
    // A logical true reaches the object as the system's own true, every bit set.
    Call(CallMethod, {dictionary.Cell(), T("Add"), T("t"), Logical(true)});
    VariantVariable truth(Call(ReadVariant, {dictionary.Cell(), T("Item"), T("t")}));
    ASSERT_EQ(V_VT(truth.get()), VT_BOOL);
    EXPECT_EQ(V_BOOL(truth.get()), VARIANT_TRUE);
}

TEST_F(SystemObjectsTest, DictionaryHoldsAnObjectPassedForAVariantParameter) {
    TestAutomationObject item;
    {
        ObjectVariable dictionary;
        ASSERT_EQ(Call(Create, {dictionary.Cell(), T("Scripting.Dictionary")}).low(), 1u);
        ObjectVariable holder;
        holder.Hold(&item);
        Call(CallMethod, {dictionary.Cell(), T("Add"), T("o"), holder.Cell()});
        ExpectSuccess("Add an object");
        EXPECT_EQ(item.references(), 3) << "the dictionary keeps one reference";
        VariantVariable read(Call(ReadVariant, {dictionary.Cell(), T("Item"), T("o")}));
        ASSERT_EQ(V_VT(read.get()), VT_DISPATCH);
        EXPECT_EQ(V_DISPATCH(read.get()), static_cast<IDispatch*>(&item));
    }
    EXPECT_EQ(item.references(), 1);
}

// As program code calls them: by the addresses in the image's core command table, through
// the core-command entry, with payloads allocated by the named sizes.
TEST_F(SystemObjectsTest, ProgramCodeReachesTheCommandsThroughTheCoreTable) {
    using image::CoreCommand;
    auto* cell = static_cast<ComObjectCell*>(program::Alloc(kComObjectCellSize));
    *cell = {};
    const ValueCell object = ValueCell::Raw(ToWord(cell), 0, type_word::kComObjectType);
    ASSERT_EQ(program::CallCore(CoreCommand::kCreate, {object, T("Scripting.Dictionary")}).low(), 1u);
    EXPECT_EQ(program::CallCore(CoreCommand::kWriteProperty, {object, T("Item"), T("k"), I(3)}).low(), 1u);
    EXPECT_EQ(NumberOf(program::CallCore(CoreCommand::kReadNumber, {object, T("Count")})), 1.0);
    const ValueCell items = program::CallCore(CoreCommand::kReadVariant, {object, T("Items")});
    VariantVariable held(items);
    EXPECT_EQ(V_VT(held.get()), VT_ARRAY | VT_VARIANT);
    program::CallCore(CoreCommand::kClear, {object});
    EXPECT_EQ(cell->object, 0u);
    program::Free(cell);
}

}  // namespace
}  // namespace kx::testing
