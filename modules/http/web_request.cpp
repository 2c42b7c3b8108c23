#include "web_request.h"

#include <string>

#include "com_calls.h"
#include "command_text_ops.h"
#include "cookie_text.h"
#include "dll_calls.h"
#include "header_text.h"
#include "program_values.h"
#include "request_text.h"
#include "routines.h"

namespace http_module {

namespace {

namespace type_word = kx::type_word;

constexpr std::int32_t kProxyNamed = 2;           // HTTPREQUEST_PROXYSETTING_PROXY
constexpr std::int32_t kOptionEnableRedirects = 6;
constexpr std::int32_t kOptionSslErrorIgnoreFlags = 4;
// Unknown certificate authority, wrong usage, invalid common name, invalid date.
constexpr std::int32_t kIgnoredCertificateErrors = 0x0100 | 0x0200 | 0x1000 | 0x2000;

ValueCell TextRef(Word* variable) { return ValueCell::Reference(variable, type_word::kText); }
ValueCell IntegerRef(std::int32_t* variable) { return ValueCell::Reference(variable, type_word::kInteger); }

// A by-reference parameter: the caller's variable, or a local empty one when omitted.
class Parameter {
public:
    explicit Parameter(const Given<Word*>& given) : variable_(given.given && given.value ? given.value : &local_) {}
    ~Parameter() { FreeValue(&local_); }
    Parameter(const Parameter&) = delete;
    Parameter& operator=(const Parameter&) = delete;
    Word* get() const { return variable_; }
    std::string_view text() const { return TextOf(*variable_); }

private:
    Word local_ = 0;
    Word* variable_;
};

void CoInitializeThread() { CallDllCommand<std::int32_t>(DllCommand::kCoInitialize, static_cast<void*>(nullptr)); }
void CoUninitializeThread() { CallDllCommand<void>(DllCommand::kCoUninitialize); }

// All four phases get the same time-out.
void SetTimeouts(Word request, std::int32_t milliseconds) {
    std::int32_t resolve = milliseconds, connect = milliseconds, send = milliseconds, receive = milliseconds;
    CallMethod(request, "SetTimeouts",
               {IntegerRef(&resolve), IntegerRef(&connect), IntegerRef(&send), IntegerRef(&receive)});
}

void SetRequestHeader(Word request, std::string_view name, std::string_view value) {
    const std::string nameText(name), valueText(value);
    CallMethod(request, "SetRequestHeader",
               {ValueCell::Text(nameText.c_str()), ValueCell::Text(valueText.c_str())});
}

}  // namespace

Word WebRequest(const WebRequestParameters& p) {
    CommandTextOps ops;
    // Omitted switches are on.
    const bool mergeCookies = p.mergeCookies.given ? p.mergeCookies.value : true;
    const bool addDefaultHeaders = p.addDefaultHeaders.given ? p.addDefaultHeaders.value : true;
    const bool normalizeNames = p.normalizeHeaderNames.given ? p.normalizeHeaderNames.value : true;
    const std::int32_t method = p.method.given ? p.method.value : 0;

    CoInitializeThread();
    std::string methodText = MethodText(method);

    Word request = NewObjectCell();
    if (p.requestObject.given && p.requestObject.value && *p.requestObject.value) {
        AssignObject(request, *p.requestObject.value);
    } else if (!CreateObject(request, "WinHttp.WinHttpRequest.5.1")) {
        FreeObjectCell(&request);
        CoUninitializeThread();
        return 0;
    }

    Parameter url({p.url, true}), postText(p.postText), cookies(p.cookies),
        returnedCookies(p.returnedCookies), headers(p.headers), responseHeaders(p.responseHeaders),
        postBytes(p.postBytes), proxy(p.proxy), userName(p.userName), password(p.password);

    const auto timeout = TimeoutMilliseconds(p.timeoutSeconds.given ? p.timeoutSeconds.value : 0);
    if (timeout) SetTimeouts(request, *timeout);
    if (!proxy.text().empty()) {
        CallMethod(request, "SetProxy", {ValueCell::Integer(kProxyNamed), TextRef(proxy.get())});
    }
    Word methodWord = NewText(methodText);
    CallMethod(request, "Open", {TextRef(&methodWord), TextRef(url.get()), ValueCell::Logical(false)});
    FreeValue(&methodWord);
    // Some implementations of the object (Wine's) reset the time-outs in Open; set again,
    // they bound every wait of this request there too. Elsewhere this changes nothing.
    if (timeout) SetTimeouts(request, *timeout);
    if (p.noRedirect.given && p.noRedirect.value) {
        WriteProperty(request, "Option", {ValueCell::Integer(kOptionEnableRedirects), ValueCell::Integer(0)});
    }
    WriteProperty(request, "Option",
                  {ValueCell::Integer(kOptionSslErrorIgnoreFlags), ValueCell::Integer(kIgnoredCertificateErrors)});

    if (addDefaultHeaders) {
        SetText(headers.get(), WithDefaultHeaders(ops, headers.text(), url.text(), method));
    }
    if (normalizeNames) SetText(headers.get(), NormalizeHeaderNames(ops, headers.text()));

    if (!proxy.text().empty() && !userName.text().empty()) {
        std::int32_t target = p.credentialTarget.given ? p.credentialTarget.value : 1;
        CallMethod(request, "SetCredentials",
                   {TextRef(userName.get()), TextRef(password.get()), IntegerRef(&target)});
        if (target == 1) {
            const std::string pair = std::string(userName.text()) + ":" + std::string(password.text());
            Word pairBytes = NewBytes({reinterpret_cast<const std::uint8_t*>(pair.data()), pair.size()});
            Word encoded = Base64Encode(&pairBytes);
            SetRequestHeader(request, "Proxy-Authorization", "Basic " + std::string(TextOf(encoded)));
            FreeValue(&encoded);
            FreeValue(&pairBytes);
        }
    }

    if (p.cookies.given) {
        SetText(cookies.get(), CookieTextToSend(ops, cookies.text()));
        CallMethod(request, "SetRequestHeader", {ValueCell::Text("Cookie"), TextRef(cookies.get())});
    }
    for (const auto& [name, value] : HeadersToSet(ops, headers.text())) SetRequestHeader(request, name, value);

    if (BytesOf(*postBytes.get()).empty()) {
        CallMethod(request, "Send", {TextRef(postText.get())});
    } else {
        Word body = NewVariant();
        SetVariant(&body, ValueCell::ByteArray(kx::FromWord<const void*>(*postBytes.get())));
        CallMethod(request, "Send", {ValueCell::Reference(&body, type_word::kVariantType)});
        FreeVariant(&body);
    }

    Word responseBody = ReadVariant(request, "ResponseBody");
    Word bodyBytes = VariantToBytes(responseBody);
    FreeVariant(&responseBody);

    Word allHeaders = ReadText(request, "GetAllResponseHeaders");
    FreeValue(responseHeaders.get());
    *responseHeaders.get() = allHeaders;
    const double status = ReadNumber(request, "Status");
    std::int32_t localStatus = 0;
    std::int32_t* statusCode = p.statusCode.given && p.statusCode.value ? p.statusCode.value : &localStatus;
    // Truncated towards zero; a number no status can be (NaN, out of range) counts as 0.
    *statusCode = status > -2147483649.0 && status < 2147483648.0 ? static_cast<std::int32_t>(status) : 0;

    SetText(returnedCookies.get(), CookiesSetBy(ops, responseHeaders.text()));
    if (mergeCookies && p.cookies.given) {
        Word merged = MergeCookies(cookies.get(), returnedCookies.get());
        FreeValue(returnedCookies.get());
        *returnedCookies.get() = merged;
    }

    FreeObjectCell(&request);
    CoUninitializeThread();
    return bodyBytes;  // already the caller's own copy
}

}  // namespace http_module
