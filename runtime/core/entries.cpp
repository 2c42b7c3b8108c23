// The entries of the RuntimeEntryTable that are not memory, errors or DLL commands.
#include "entries.h"

#include <windows.h>

#include "error_text.h"
#include "runtime_app.h"

namespace kx {

namespace {

thread_local std::int32_t t_libraryNumber = -1;

constexpr char kPropertyFormMissing[] = "未载入欲访问窗口组件所在的窗口";

RuntimeApp& App() { return *RuntimeApp::Current(); }

ValueCell CallCommand(Word command, std::int32_t count, ValueCell* args) {
    ValueCell result;  // three zero words
    // A command called without arguments still gets an address it may hold on to.
    ValueCell noArguments;
    FromWord<CommandFn>(command)(&result, count, args ? args : &noArguments);
    return result;
}

}  // namespace

std::int32_t CurrentLibraryNumber() { return t_libraryNumber; }

ValueCell RtCallCoreCommand(Word command, std::int32_t count, ValueCell* args) {
    return CallCommand(command, count, args);
}

ValueCell RtCallLibraryCommand(std::uint32_t libraryNumber, Word command, std::int32_t count,
                               ValueCell* args) {
    const std::int32_t outer = t_libraryNumber;
    t_libraryNumber = static_cast<std::int32_t>(libraryNumber);
    const ValueCell result = CallCommand(command, count, args);
    t_libraryNumber = outer;
    return result;
}

std::uint64_t RtReadProperty(Word formId, Word unitId, std::int32_t /*property*/,
                             std::int32_t /*element*/) {
    if (!App().forms().Find(formId)) {
        ReportRuntimeError(kPropertyFormMissing, 0, static_cast<std::int32_t>(formId),
                           static_cast<std::int32_t>(unitId));
    }
    return 0;  // units of loaded forms answer once the form window layer exists
}

void RtWriteProperty(Word formId, Word unitId, std::int32_t /*property*/,
                     std::int32_t /*element*/, Word /*valueLow*/, Word /*valueHigh*/) {
    if (!App().forms().Find(formId)) {
        ReportRuntimeError(kPropertyFormMissing, 0, static_cast<std::int32_t>(formId),
                           static_cast<std::int32_t>(unitId));
    }
}

void RtEndProgram(std::int32_t exitCode) {
    if (RuntimeApp* app = RuntimeApp::Current()) app->EndAndExit(exitCode);
    ExitProcess(static_cast<UINT>(exitCode));
}

void RtRunUntilWindowsClosed() { App().RunUntilWindowsClosed(); }

void RtLoadStartForm(Word formId) {
    // Windows of forms are created by the form window layer; without it no start form can be
    // shown, whether or not its template is there.
    ReportRuntimeError(fixed_error::kStartFormFailed, 0, static_cast<std::int32_t>(formId), 0);
}

}  // namespace kx
