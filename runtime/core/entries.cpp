// The entries of the RuntimeEntryTable that are not memory, errors or DLL commands.
#include "entries.h"

#include <windows.h>

#include "error_text.h"
#include "runtime_app.h"

namespace kx {

namespace {

thread_local std::int32_t t_libraryNumber = -1;

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

std::uint64_t RtReadProperty(Word formId, Word unitId, std::int32_t property,
                             std::int32_t element) {
    return App().formLayer().ReadProperty(formId, unitId, property, element);
}

void RtWriteProperty(Word formId, Word unitId, std::int32_t property, std::int32_t element,
                     Word valueLow, Word valueHigh) {
    App().formLayer().WriteProperty(formId, unitId, property, element, valueLow, valueHigh);
}

void RtEndProgram(std::int32_t exitCode) {
    if (RuntimeApp* app = RuntimeApp::Current()) app->EndAndExit(exitCode);
    ExitProcess(static_cast<UINT>(exitCode));
}

void RtRunUntilWindowsClosed() { App().RunUntilWindowsClosed(); }

void RtLoadStartForm(Word formId) {
    if (!App().formLayer().LoadStartForm(formId)) {
        ReportRuntimeError(fixed_error::kStartFormFailed, 0, static_cast<std::int32_t>(formId), 0);
    }
}

}  // namespace kx
