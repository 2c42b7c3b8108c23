#include "errors.h"

#include <windows.h>

#include <cinttypes>
#include <cstdio>

#include "error_text.h"
#include "kx/word.h"
#include "message_box.h"
#include "runtime_app.h"

namespace kx {

void ReportRuntimeError(const char* message, std::int32_t code, std::int32_t location1,
                        std::int32_t location2) {
    RuntimeApp* app = RuntimeApp::Current();
    if (app) app->SuppressEvents();

    static const forms::FormCollection kNoForms;
    const std::string text =
        BuildErrorReportText(message, code, location1, location2, app ? app->forms() : kNoForms);
    ShowMessageBox(nullptr, text.c_str(), kErrorBoxCaption, kErrorBoxStyle);

    if (app) {
        app->DropExitRoutines();
        app->EndAndExit(kRuntimeErrorExitCode);
    }
    ExitProcess(static_cast<UINT>(kRuntimeErrorExitCode));
}

void ReportOutOfMemory(std::uint32_t requestedSize) {
    ReportRuntimeError(OutOfMemoryMessage(requestedSize).c_str(), 0, 0, 0);
}

void RtRaiseError(std::int32_t code, std::int32_t location1, std::int32_t location2) {
    ReportRuntimeError(NumberedErrorMessage(code), code, location1, location2);
}

void RtNoExternalSubroutine() {
    ReportRuntimeError(fixed_error::kNoExternalSubroutine, 0, 0, 0);
}

void FailAddressAboveWordRange(const volatile void* address) {
    char message[128];
    std::snprintf(message, sizeof message, "%s: %p", fixed_error::kAddressAboveWordRange,
                  const_cast<const void*>(address));
    ReportRuntimeError(message, 0, 0, 0);
}

}  // namespace kx
