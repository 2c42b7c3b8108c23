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

[[noreturn]] void ReportUnbound(const DllCommandSlot& slot) {
    char message[1024];
    if (slot.libraryName.empty()) {
        std::snprintf(message, sizeof message, fixed_error::kDllExportMissingNoLibraryFormat,
                      slot.entryName.c_str());
    } else {
        std::snprintf(message, sizeof message, fixed_error::kDllExportMissingFormat,
                      slot.libraryName.c_str(), slot.entryName.c_str());
    }
    ReportRuntimeError(message, 0, 0, 0);
}

}  // namespace

Word RtCallDllCommand(std::uint32_t number) {
    RuntimeApp& app = *RuntimeApp::Current();
    if (number >= app.dllCommands().size()) {
        // Not a command of this image: reported like an export that cannot be found.
        ReportUnbound(DllCommandSlot{"", "#" + std::to_string(number)});
    }
    DllCommandSlot& slot = app.dllCommands()[number];
    if (slot.address) return slot.address;

    HMODULE module = nullptr;
    FARPROC address = nullptr;
    if (slot.libraryName.empty()) {
        for (const char* library : kSystemLibraries) {
            HMODULE candidate = LoadLibraryA(library);
            if (!candidate) continue;
            address = FindExport(candidate, slot.entryName);
            if (address) {
                module = candidate;
                break;
            }
            FreeLibrary(candidate);
        }
    } else {
        module = LoadNamedLibrary(app, slot.libraryName);
        if (module) address = FindExport(module, slot.entryName);
    }
    if (!address) {
        if (module) FreeLibrary(module);
        ReportUnbound(slot);
    }
    slot.module = module;
    slot.address = ToWord(reinterpret_cast<const void*>(address));
    return slot.address;
}

}  // namespace kx
