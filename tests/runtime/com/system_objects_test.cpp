// The commands against the system's own automation objects: the HTTP request object
// talking to a loopback server, and the dictionary object.
#include "com_test_support.h"
#include "kx/program_calls.h"
#include "loopback_http_server.h"

namespace kx::testing {
namespace {

using namespace kx::commands;

class SystemObjectsTest : public ComTest {};

// Each command of a step must leave the failure code at 0.
void ExpectSuccess(const char* step) { EXPECT_EQ(com::ThreadComFailure(), 0) << step; }

TEST_F(SystemObjectsTest, RequestObjectSendsABodyReadsTheAnswerAndFails) {
    LoopbackHttpServer server;
    ObjectVariable request;
    server.Script({{"HTTP/1.1 200 OK", {"X-Kx: yes"}, "hello"}});
    ASSERT_EQ(Call(Create, {request.Cell(), T("WinHttp.WinHttpRequest.5.1")}).low(), 1u);
    const std::string url = server.Url("/time");
    Word urlVariable = ToWord(url.c_str());
    // The module passes the method and URL by reference; Open declares them by value.
    Call(CallMethod, {request.Cell(), T("Open"), T("POST"),
                      ValueCell::Reference(&urlVariable, type_word::kText), Logical(false)});
    ExpectSuccess("Open");
    EXPECT_EQ(Call(WriteProperty, {request.Cell(), T("Option"), I(6), Logical(false)}).low(), 1u);
    Call(CallMethod, {request.Cell(), T("SetRequestHeader"), T("X-Test"), T("是")});
    std::vector<Word> bytes = ByteBlock(std::string("a\0c", 3));
    VariantVariable body;
    ASSERT_EQ(Call(SetVariant, {body.ByReference(), ValueCell::ByteArray(bytes.data())}).low(), 1u);
    Call(CallMethod, {request.Cell(), T("Send"), body.ByReference()});
    ExpectSuccess("Send with a byte body");
    EXPECT_EQ(NumberOf(Call(ReadNumber, {request.Cell(), T("Status")})), 200.0);
    EXPECT_EQ(TextOf(ReadText, {request.Cell(), T("Status")}), "200");
    const std::string headers = TextOf(ReadText, {request.Cell(), T("GetAllResponseHeaders")});
    EXPECT_NE(headers.find("X-Kx: yes\r\n"), std::string::npos) << headers;
    VariantVariable answer(Call(ReadVariant, {request.Cell(), T("ResponseBody")}));
    ExpectSuccess("ResponseBody");
    EXPECT_EQ(TakeBytes(Call(VariantToBytes, {answer.Cell()})), "hello");
    EXPECT_EQ(urlVariable, ToWord(url.c_str())) << "Open's URL is not an output";
    const std::vector<RecordedRequest> received = server.Requests();
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].requestLine, "POST /time HTTP/1.1");
    ASSERT_NE(received[0].Header("X-Test"), nullptr);
    EXPECT_EQ(*received[0].Header("X-Test"), "\xE6\x98\xAF") << "header value as UTF-8";
    // Wine here was seen to send one byte more than a lower-bound-1 array holds.
    EXPECT_EQ(received[0].body.substr(0, 3), std::string("a\0c", 3));

    // A failed request is failure 11 and empty results.
    const std::string refused = "http://127.0.0.1:" + std::to_string(LoopbackHttpServer::RefusingPort()) + "/";
    Call(CallMethod, {request.Cell(), T("Open"), T("GET"), ValueCell::Text(refused.c_str()), Logical(false)});
    ExpectSuccess("Open again");
    Call(CallMethod, {request.Cell(), T("Send")});
    EXPECT_EQ(com::ThreadComFailure(), com::kMemberRaisedException);
    EXPECT_EQ(NumberOf(Call(ReadNumber, {request.Cell(), T("Status")})), 0.0);
    EXPECT_NE(com::ThreadComFailure(), 0);
    EXPECT_EQ(TextOf(ReadText, {request.Cell(), T("GetAllResponseHeaders")}), "");
    EXPECT_EQ(Call(ReadText, {request.Cell(), T("NoSuchMember")}).type(), type_word::kText);
    EXPECT_EQ(com::ThreadComFailure(), com::kUnknownMember);
}

// Partly as program code calls them: by the addresses in the image's core command table,
// through the core-command entry.
TEST_F(SystemObjectsTest, DictionaryPropertiesMethodsKeysAndObjects) {
    using image::CoreCommand;
    TestAutomationObject item;
    {
        ObjectVariable dictionary;
        ASSERT_EQ(program::CallCore(CoreCommand::kCreate, {dictionary.Cell(), T("Scripting.Dictionary")}).low(), 1u);
        program::CallCore(CoreCommand::kCallMethod, {dictionary.Cell(), T("Add"), T("a"), I(1)});
        ExpectSuccess("Add");
        EXPECT_EQ(program::CallCore(CoreCommand::kWriteProperty, {dictionary.Cell(), T("Item"), T("b"), T("值")}).low(), 1u);
        EXPECT_EQ(NumberOf(program::CallCore(CoreCommand::kReadNumber, {dictionary.Cell(), T("Count")})), 2.0);
        EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), T("a")})), -1.0);
        EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), T("z")})), 0.0);
        EXPECT_EQ(TakeText(program::CallCore(CoreCommand::kReadText, {dictionary.Cell(), T("Item"), T("b")})), "值");
        EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Item"), T("a")})), 1.0);
        ExpectSuccess("Item");

        VariantVariable keys(program::CallCore(CoreCommand::kReadVariant, {dictionary.Cell(), T("Keys")}));
        ASSERT_EQ(V_VT(keys.get()), VT_ARRAY | VT_VARIANT);
        // The key array's second element, rewritten by position.
        EXPECT_EQ(program::CallCore(CoreCommand::kSetVariant, {keys.Cell(), T("c"), I(2)}).low(), 1u);
        const auto* elements = static_cast<const VARIANT*>(V_ARRAY(keys.get())->pvData);
        EXPECT_STREQ(V_BSTR(&elements[0]), L"a");
        EXPECT_STREQ(V_BSTR(&elements[1]), L"c");
        // A key as a Variant argument: passed with one level of reference removed.
        VariantVariable key;
        ASSERT_EQ(Call(SetVariant, {key.ByReference(), T("a")}).low(), 1u);
        EXPECT_EQ(NumberOf(Call(ReadNumber, {dictionary.Cell(), T("Exists"), key.ByReference()})), -1.0);
        // A logical true reaches the object as the system's own true, every bit set.
        Call(CallMethod, {dictionary.Cell(), T("Add"), T("t"), Logical(true)});
        VariantVariable truth(Call(ReadVariant, {dictionary.Cell(), T("Item"), T("t")}));
        ASSERT_EQ(V_VT(truth.get()), VT_BOOL);
        EXPECT_EQ(V_BOOL(truth.get()), VARIANT_TRUE);

        // An object passed for a Variant parameter: the dictionary keeps one reference.
        ObjectVariable holder;
        holder.Hold(&item);
        Call(CallMethod, {dictionary.Cell(), T("Add"), T("o"), holder.Cell()});
        ExpectSuccess("Add an object");
        EXPECT_EQ(item.references, 3);
        VariantVariable read(Call(ReadVariant, {dictionary.Cell(), T("Item"), T("o")}));
        ASSERT_EQ(V_VT(read.get()), VT_DISPATCH);
        EXPECT_EQ(V_DISPATCH(read.get()), static_cast<IDispatch*>(&item));
        program::CallCore(CoreCommand::kClear, {dictionary.Cell()});
        EXPECT_EQ(dictionary.cell().object, 0u);
    }
    EXPECT_EQ(item.references, 1);
}

}  // namespace
}  // namespace kx::testing
