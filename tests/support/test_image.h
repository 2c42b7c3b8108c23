// A program image for tests, built at run time: the header, up to four libraries (null
// entries allowed), DLL-command tables and a small constants block. The constants block
// ends right where an inaccessible page begins, so reading past it faults. The runtime
// keeps pointers into it, so it must outlive every RuntimeApp bound to it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "kx/image_format.h"

namespace kx::testing {

class TestImage {
public:
    TestImage();
    ~TestImage();
    TestImage(const TestImage&) = delete;
    TestImage& operator=(const TestImage&) = delete;

    // Appends a library (null for an empty slot) and returns its library number.
    Word AddLibrary(const LibraryDescriptor* descriptor);
    void SetDllCommands(std::vector<std::pair<std::string, std::string>> libraryAndEntry);
    void SetFormBlock(const std::uint8_t* block, Word size);
    void SetCodeBase(Word codeBase) { header_.codeBase = codeBase; }
    // Uses `block` (of `size` bytes) as the constants block instead of the guarded one.
    void UseConstantsBlock(std::uint8_t* block, Word size);

    const ProgramImageHeader& header();  // brings the header's pointers up to date
    std::uint8_t* constants() { return constants_; }
    static constexpr Word kConstantsSize = 64;

private:
    ProgramImageHeader header_{};
    std::array<Word, 4> libraries_{};
    Word libraryCount_ = 0;
    std::vector<std::pair<std::string, std::string>> dllNames_;
    std::vector<Word> dllLibraryWords_;
    std::vector<Word> dllEntryWords_;
    void* pages_ = nullptr;
    std::uint8_t* constants_ = nullptr;
    Word constantsSize_ = kConstantsSize;
};

// A library descriptor with the given commands and notify routine; every other word as a
// real library has it.
LibraryDescriptor MakeLibraryDescriptor(const Word* commands, Word commandCount, Word notify);

}  // namespace kx::testing
