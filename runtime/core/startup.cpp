// Runtime initialisation (service 6), step by step in the order the program relies on.
#include <windows.h>
#include <ole2.h>

#include "entries.h"
#include "error_text.h"
#include "errors.h"
#include "hidden_owner.h"
#include "runtime_app.h"

namespace kx {

namespace {

constexpr DWORD kModulePathCapacity = 260;

// Splits a full path at its last backslash: (directory, file name).
std::pair<std::string, std::string> SplitAtLastBackslash(const std::string& path) {
    const auto cut = path.rfind('\\');
    if (cut == std::string::npos) return {"", path};
    return {path.substr(0, cut), path.substr(cut + 1)};
}

std::string ModuleFileName() {
    char buffer[kModulePathCapacity] = {};
    const DWORD length = GetModuleFileNameA(nullptr, buffer, kModulePathCapacity);
    return std::string(buffer, length < kModulePathCapacity ? length : kModulePathCapacity - 1);
}

const char* TextAt(Word address) { return FromWord<const char*>(address); }

}  // namespace

void RuntimeApp::RecordProgramPath() {
    moduleDirectory_ = SplitAtLastBackslash(ModuleFileName()).first;
    if (!moduleDirectory_.empty()) moduleDirectory_ += '\\';
}

void RuntimeApp::InitRuntime() {
    // 1-3: heap, image words, OLE.
    heap_ = GetProcessHeap();
    buildKind_ = image_->buildKind;
    imageWord1_ = image_->imageWord1;
    imageWord2_ = image_->imageWord2 + 1;
    if (!oleInitialized_) {
        OleInitialize(nullptr);
        oleInitialized_ = true;
    }
    // 4: program directory and file name; the directory becomes the current directory.
    std::tie(programDirectory_, programFileName_) = SplitAtLastBackslash(ModuleFileName());
    SetCurrentDirectoryA(programDirectory_.c_str());
    // 5-7.
    BindSupportModules();
    hiddenOwner_ = CreateHiddenOwnerWindow();
    mainThreadId_ = GetCurrentThreadId();
    // 8: the constants range.
    if (image_->constBlockSize > 0) {
        constantsStart_ = FromWord<const std::uint8_t*>(image_->constBlock);
        constantsEnd_ = constantsStart_ + image_->constBlockSize;
    }
    // 9-11.
    CreateDllTables();
    NotifyLibrariesOfStartup();
    // 12-14: forms, their event routines, and the hand-over to the form layer.
    LoadForms();
}

void RuntimeApp::BindSupportModules() {
    supportModules_[kMediaPlayerSlot] = MediaPlayerSupportModule();
    for (int slot = 0; slot < kSupportModuleSlotCount; ++slot) {
        if (slot != kMediaPlayerSlot) supportModules_[slot] = PlaceholderSupportModule(image_->codeBase);
    }
}

void RuntimeApp::CreateDllTables() {
    const Word count = image_->dllCommandCount;
    // Made once, before any worker can bind, and never resized.
    dllCommands_ = std::vector<DllCommandSlot>(count);
    if (count == 0) return;
    const auto* libraryNames = FromWord<const Word*>(image_->dllLibraryNames);
    const auto* entryNames = FromWord<const Word*>(image_->dllEntryNames);
    for (Word n = 0; n < count; ++n) {
        // A missing name table reads as empty names; binding then reports the command.
        const char* library = libraryNames ? TextAt(libraryNames[n]) : nullptr;
        const char* entry = entryNames ? TextAt(entryNames[n]) : nullptr;
        dllCommands_[n].libraryName = library ? library : "";
        dllCommands_[n].entryName = entry ? entry : "";
    }
}

void RuntimeApp::NotifyLibrariesOfStartup() {
    const auto* descriptors = FromWord<const Word*>(image_->libraries);
    const Word count = descriptors ? image_->libraryCount : 0;
    for (Word i = 0; i < count; ++i) {
        const auto* library = FromWord<const LibraryDescriptor*>(descriptors[i]);
        if (library && library->notify) {
            FromWord<LibraryNotifyFn>(library->notify)(kNotifyStartup, ToWord(&RuntimeService), 0);
        }
    }
    libraries_.clear();
    for (Word i = 0; i < count; ++i) {
        libraries_.push_back(FromWord<const LibraryDescriptor*>(descriptors[i]));
    }
    libraryStates_.assign(count, 0);
}

void RuntimeApp::LoadForms() {
    if (image_->formBlockSize > 0) {
        if (!forms_.Load(FromWord<const std::uint8_t*>(image_->formBlock), image_->formBlockSize)) {
            ReportRuntimeError(fixed_error::kFormBlockUnreadable, 0, 0, 0);
        }
    }
    forms_.RelocateRoutines(image_->codeBase);
    // The form layer works on forms_ directly: it is handed over by being RuntimeApp's.
}

}  // namespace kx
