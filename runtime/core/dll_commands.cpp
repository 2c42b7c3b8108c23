// DLL commands: bound by library and entry name on first call, cached until shutdown.
#include <windows.h>

#include <cstdio>

#include "dll_names.h"
#include "entries.h"
#include "error_text.h"
#include "runtime_app.h"

namespace kx {

namespace {

const char* const kSystemLibraries[] = {
    "Kernel32.dll", "Gdi32.dll", "User32.dll", "Advapi32.dll", "Mpr.dll", "Shell32.dll",
};

// The name GetProcAddress takes: the entry name, or an ordinal.
LPCSTR ExportName(const std::string& entryName) {
    if (const auto ordinal = ExportOrdinal(entryName)) return MAKEINTRESOURCEA(*ordinal);
    return entryName.c_str();
}

FARPROC FindExport(HMODULE module, const std::string& entryName) {
    return GetProcAddress(module, ExportName(entryName));
}

HMODULE LoadNamedLibrary(const RuntimeApp& app, const std::string& name) {
    if (name.find(':') != std::string::npos) return LoadLibraryA(name.c_str());
    std::string candidates[4];
    int count = 0;
    if (!app.extraDllDirectory().empty()) candidates[count++] = app.extraDllDirectory() + name;
    candidates[count++] = app.programDirectory() + "\\" + name;
    if (!app.moduleDirectory().empty()) candidates[count++] = app.moduleDirectory() + name;
    candidates[count++] = name;
    for (int i = 0; i < count; ++i) {
        if (HMODULE module = LoadLibraryA(candidates[i].c_str())) return module;
    }
    return nullptr;
}

[[noreturn]] void ReportUnbound(const std::string& libraryName, const std::string& entryName) {
    char message[1024];
    if (libraryName.empty()) {
        std::snprintf(message, sizeof message, fixed_error::kDllExportMissingNoLibraryFormat,
                      entryName.c_str());
    } else {
        std::snprintf(message, sizeof message, fixed_error::kDllExportMissingFormat,
                      libraryName.c_str(), entryName.c_str());
    }
    ReportRuntimeError(message, 0, 0, 0);
}

// Keeps the module of a bound function mapped until the process ends. The end routine still
// gives back the reference binding took, but a worker may be inside the function just then.
void PinModuleOf(FARPROC function) {
    HMODULE pinned = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(function), &pinned);
}

}  // namespace

DllFunction RtCallDllCommand(std::uint32_t number) {
    DllCommandSlot* slot = RuntimeApp::Current()->dllCommand(number);
    if (!slot) {
        // Not a command of this image: reported like an export that cannot be found.
        ReportUnbound("", "#" + std::to_string(number));
    }
    if (const DllFunction cached = slot->address.load()) return cached;

    HMODULE module = nullptr;
    FARPROC address = nullptr;
    if (slot->libraryName.empty()) {
        for (const char* library : kSystemLibraries) {
            HMODULE candidate = LoadLibraryA(library);
            if (!candidate) continue;
            address = FindExport(candidate, slot->entryName);
            if (address) {
                module = candidate;
                break;
            }
            FreeLibrary(candidate);
        }
    } else {
        module = LoadNamedLibrary(*RuntimeApp::Current(), slot->libraryName);
        if (module) address = FindExport(module, slot->entryName);
    }
    if (!address) {
        if (module) FreeLibrary(module);
        ReportUnbound(slot->libraryName, slot->entryName);
    }
    PinModuleOf(address);
    // A thread that bound the same command meanwhile keeps its reference; ours is given back.
    HMODULE expected = nullptr;
    if (!slot->module.compare_exchange_strong(expected, module)) FreeLibrary(module);
    const auto function = reinterpret_cast<DllFunction>(address);
    slot->address.store(function);
    return function;
}

}  // namespace kx
