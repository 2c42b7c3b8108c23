// A program on the application's own image and the real process entry: its program code
// calls the image's three DLL commands with their real arguments and writes down what they
// answered, to the file named by KX_PROBE_LOG.
#include <windows.h>

#include <cstdio>
#include <string>

#include "probe_log.h"
#include "kx/program_binding.h"
#include "kx/program_calls.h"

namespace {

using kx::image::DllCommand;
using kx::program::ResolveDllCommand;

using kx::probe::Log;

int Entry() {
    kx::program::Service(kx::ServiceNumber::kInitRuntime);

    const HRESULT initialized = ResolveDllCommand<HRESULT WINAPI(void*)>(DllCommand::kCoInitialize)(nullptr);
    Log("CoInitialize " + std::string(SUCCEEDED(initialized) ? "succeeded" : "failed"));

    SYSTEMTIME time{};
    const BOOL parsed = ResolveDllCommand<BOOL WINAPI(const char*, SYSTEMTIME*, DWORD)>(
        DllCommand::kInternetTimeToSystemTime)(" Thu, 31 Dec 2026 20:30:15 GMT", &time, 0);
    char line[128];
    std::snprintf(line, sizeof line, "parsed %d: %04d-%02d-%02d %02d:%02d:%02d", parsed, time.wYear,
                  time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond);
    Log(line);

    ResolveDllCommand<void WINAPI()>(DllCommand::kCoUninitialize)();
    Log("CoUninitialize returned");
    return 0;
}

}  // namespace

int kx::program_binding::Entry() { return ::Entry(); }
