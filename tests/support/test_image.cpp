#include "test_image.h"

#include <windows.h>

#include <cstring>

#include "kx/program_image.h"

namespace kx::testing {

TestImage::TestImage() {
    header_.buildKind = kBuildKindSelfContained;
    header_.imageWord1 = 0;
    header_.imageWord2 = 99919;
    // The stub of the real program code supplies the placeholder routines.
    header_.codeBase = image::Header().codeBase;

    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    pages_ = VirtualAlloc(nullptr, SIZE_T{2} * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    DWORD old;
    VirtualProtect(static_cast<std::uint8_t*>(pages_) + page, page, PAGE_NOACCESS, &old);
    constants_ = static_cast<std::uint8_t*>(pages_) + page - kConstantsSize;
    std::memcpy(constants_, "constant text", sizeof "constant text");
}

TestImage::~TestImage() { VirtualFree(pages_, 0, MEM_RELEASE); }

void TestImage::UseConstantsBlock(std::uint8_t* block, Word size) {
    constants_ = block;
    constantsSize_ = size;
}

Word TestImage::AddLibrary(const LibraryDescriptor* descriptor) {
    libraries_.at(libraryCount_) = descriptor ? ToWord(descriptor) : 0;
    return libraryCount_++;
}

void TestImage::SetDllCommands(std::vector<std::pair<std::string, std::string>> libraryAndEntry) {
    dllNames_ = std::move(libraryAndEntry);
    dllLibraryWords_.clear();
    dllEntryWords_.clear();
    for (const auto& [library, entry] : dllNames_) {
        dllLibraryWords_.push_back(ToWord(library.c_str()));
        dllEntryWords_.push_back(ToWord(entry.c_str()));
    }
}

void TestImage::SetFormBlock(const std::uint8_t* block, Word size) {
    header_.formBlock = ToWord(block);
    header_.formBlockSize = size;
}

const ProgramImageHeader& TestImage::header() {
    header_.constBlock = ToWord(constants_);
    header_.constBlockSize = constantsSize_;
    header_.libraryCount = libraryCount_;
    header_.libraries = ToWord(libraries_.data());
    header_.dllCommandCount = static_cast<Word>(dllLibraryWords_.size());
    header_.dllLibraryNames = dllLibraryWords_.empty() ? 0 : ToWord(dllLibraryWords_.data());
    header_.dllEntryNames = dllEntryWords_.empty() ? 0 : ToWord(dllEntryWords_.data());
    return header_;
}

LibraryDescriptor MakeLibraryDescriptor(const Word* commands, Word commandCount, Word notify) {
    LibraryDescriptor descriptor{};
    descriptor.formatStamp = kLibraryFormatStamp;
    descriptor.versionMajor = 1;
    descriptor.language = 1;
    descriptor.commandCount = commandCount;
    descriptor.commandFunctions = commands ? ToWord(commands) : 0;
    descriptor.notify = notify;
    return descriptor;
}

}  // namespace kx::testing
