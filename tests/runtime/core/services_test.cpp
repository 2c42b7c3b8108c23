// The numbered services of program code and the service routine of libraries.
#include <windows.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include "entries.h"
#include "kx/entry_table.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

using testing::MakeLibraryDescriptor;
using testing::TestImage;
using namespace library_service;

Word Service(ServiceNumber number, Word a = 0, Word b = 0, Word c = 0, Word d = 0) {
    return RtService(static_cast<std::uint32_t>(number), a, b, c, d, 0, 0);
}

// A folder of three files (hidden, read-only, archive) and a subfolder.
class FindFileService : public testing::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        const std::string folderName = "kx_find_" + std::to_string(GetCurrentProcessId());
        folder_ = (std::filesystem::temp_directory_path() / folderName).string() + "\\";
        std::filesystem::create_directories(folder_ + "sub");
        const std::pair<const char*, DWORD> files[] = {{"plain.txt", FILE_ATTRIBUTE_ARCHIVE},
            {"hidden.txt", FILE_ATTRIBUTE_HIDDEN}, {"readonly.txt", FILE_ATTRIBUTE_READONLY}};
        for (const auto& [name, attributes] : files) {
            std::ofstream(folder_ + name) << "x";
            SetFileAttributesA((folder_ + name).c_str(), attributes);
        }
    }
    void TearDown() override {
        SetFileAttributesA((folder_ + "readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        RuntimeTest::TearDown();
    }

    // Frees a found name and gives it back as a string.
    static std::string Taken(Word found) {
        std::string name = FromWord<const char*>(found);
        RtFree(FromWord<void*>(found));
        return name;
    }

    std::string folder_;
};

TEST_F(FindFileService, YieldsTheEntriesTheMaskTakesThenClosesTheSearch) {
    struct Row { const char* pattern; Word mask; bool filesOnly; std::set<std::string> names; };
    const Row rows[] = {
        {"*", 0, true, {"hidden.txt", "plain.txt", "readonly.txt"}},  // everything but directories
        {"*", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false, {"hidden.txt", "readonly.txt"}},
        {"*", FILE_ATTRIBUTE_DIRECTORY, false, {".", "..", "sub"}},
        // 0x80 (normal) is outside the five: the mask counts as 0, taking only entries with no
        // attribute at all.
        {"*", 0x80, false, {}},
        {"*.none", 0, true, {}},
    };
    for (const Row& row : rows) {
        const std::string pattern = folder_ + row.pattern;
        std::set<std::string> names;
        Word handle = 0;
        for (Word found = Service(ServiceNumber::kFindFile, ToWord(pattern.c_str()), row.mask, row.filesOnly,
                                  ToWord(&handle));
             found; found = Service(ServiceNumber::kFindFile, 0, row.mask, row.filesOnly, ToWord(&handle))) {
            names.insert(Taken(found));
        }
        EXPECT_EQ(names, row.names) << row.pattern << " " << row.mask;
        EXPECT_EQ(handle, 0u) << "the handle is closed and cleared at the end";
    }
}

TEST_F(FindFileService, ANewPatternClosesTheOpenSearch) {
    const std::string pattern = folder_ + "*.txt";
    Word handle = 0;
    const auto find = [&](const char* text, Word handleAddress) {
        return Service(ServiceNumber::kFindFile, ToWord(text), 0, 1, handleAddress);
    };
    // Without a handle address nothing is searched, and without a search nothing continues.
    EXPECT_EQ(find(pattern.c_str(), 0), 0u);
    EXPECT_EQ(find(nullptr, ToWord(&handle)), 0u);
    Taken(find(pattern.c_str(), ToWord(&handle)));
    const Word first = handle;
    Taken(find(pattern.c_str(), ToWord(&handle)));
    EXPECT_NE(handle, 0u);
    // The first search was closed: closing it again fails (unless its handle was reused).
    if (first != handle) {
        EXPECT_FALSE(::FindClose(LongToHandle(static_cast<LONG>(first))));
    }
    Service(ServiceNumber::kFindClose, handle);
}

class Services : public testing::RuntimeTest {};

// The constants block ends where an inaccessible page begins: reading past it would fault.
TEST_F(Services, MakingAConstantArrayWritableCopiesItNeverPastTheBlock) {
    struct Row { const char* name; Word offset; std::vector<Word> words; Word bytes, elementSize; };
    const Row rows[] = {
        {"header and elements", 0, {2, 2, 3, 1, 2, 3, 4, 5, 6}, 36, 4},
        {"more elements than the block holds", 0, {1, 0x00FFFFFF}, 8, 1},
        {"header running past the block", TestImage::kConstantsSize - 2, {'x' | 'y' << 8}, 2, 4},
    };
    for (const Row& row : rows) {
        std::uint8_t* const constant = image_.constants() + row.offset;
        std::memcpy(constant, row.words.data(), row.bytes);
        Word variable = ToWord(constant);
        Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), row.elementSize);
        EXPECT_FALSE(app_->IsConstant(FromWord<void*>(variable))) << row.name;
        EXPECT_EQ(std::memcmp(FromWord<void*>(variable), row.words.data(), row.bytes), 0) << row.name;
        // A heap block is already writable and stays where it is.
        const Word copy = variable;
        Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), row.elementSize);
        EXPECT_EQ(variable, copy) << row.name;
        RtFree(FromWord<void*>(variable));
    }
}

// The core library (number 0) has three data-type records; library 1 is a null entry.
class LibraryServices : public testing::RuntimeTest {
protected:
    void SetUp() override {
        core_ = MakeLibraryDescriptor(nullptr, 0, 0);
        core_.dataTypeCount = 3;
        core_.dataTypes = ToWord(records_);
        image_.AddLibrary(&core_);
        image_.AddLibrary(nullptr);
        RuntimeTest::SetUp();
    }
    DataTypeRecord records_[3]{};
    LibraryDescriptor core_{};
};

TEST_F(LibraryServices, DataTypeRecordsByIdWithEveryOutOfRangeIdGivingZero) {
    struct Row { Word id; const DataTypeRecord* expected; };
    const Row rows[] = {
        {0x00010001, &records_[0]}, {0x00010003, &records_[2]},
        // Past the record count, record index -1, library 1 (a null entry), no library 2, a
        // base type, a type the program defines, no type.
        {0x00010004, nullptr}, {0x00010000, nullptr}, {0x00020001, nullptr}, {0x00030001, nullptr},
        {0x80000301, nullptr}, {0x40000001, nullptr}, {0, nullptr},
    };
    for (const Row& row : rows) {
        const Word expected = row.expected ? ToWord(row.expected) : 0;
        EXPECT_EQ(static_cast<Word>(RuntimeService(kDataTypeRecord, row.id, 0)), expected) << std::hex << row.id;
        EXPECT_EQ(static_cast<Word>(RuntimeService(kDataTypeRecordAlias, row.id, 0)), expected);
    }
}

TEST_F(LibraryServices, ProgramPathBuildKindAndEventSuppression) {
    EXPECT_EQ(FromWord<const char*>(RuntimeService(kProgramDirectory, 0, 0)), app_->programDirectory());
    EXPECT_EQ(FromWord<const char*>(RuntimeService(kProgramFileName, 0, 0)), app_->programFileName());
    EXPECT_EQ(RuntimeService(kBuildKind, 0, 0), 3);

    struct Step { std::int32_t service; bool suppressed; };
    const Step steps[] = {
        {kSuppressEvents, true}, {kSuppressEvents, true}, {kAllowEvents, true}, {kAllowEvents, false},
        {kAllowEvents, false},  // never below zero
        {kSuppressEvents, true},
    };
    EXPECT_FALSE(app_->EventsSuppressed());
    for (const Step& step : steps) {
        RuntimeService(step.service, 0, 0);
        EXPECT_EQ(app_->EventsSuppressed(), step.suppressed) << &step - steps;
    }
}

// A block of four elements: two heap blocks, a null and a constant text.
TEST_F(LibraryServices, FreeingAnArrayFreesTheElementsOfTextAndByteArraysWithinTheBlock) {
    struct Row { Word elementType; Word claimedCount; bool elementsFreed; };
    const Row rows[] = {
        {type_word::kText, 4, true},
        {type_word::kByteArray, 1000000, true},  // claims more than the block holds
        {type_word::kInteger, 4, false},         // numbers that happen to look like addresses
    };
    const HANDLE heap = GetProcessHeap();
    for (const Row& row : rows) {
        void* first = RtAlloc(8);
        void* second = RtAlloc(8);
        auto* block = static_cast<Word*>(RtAlloc(4 * 6));
        const Word words[] = {1, row.claimedCount, ToWord(first), 0, ToWord(image_.constants()), ToWord(second)};
        std::memcpy(block, words, sizeof words);
        RuntimeService(kFreeArray, row.elementType | type_word::kAddressBit, ToWord(block));
        EXPECT_EQ(HeapValidate(heap, 0, first), !row.elementsFreed) << std::hex << row.elementType;
        EXPECT_EQ(HeapValidate(heap, 0, second), !row.elementsFreed);
        EXPECT_FALSE(HeapValidate(heap, 0, block));
        EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
        EXPECT_STREQ(reinterpret_cast<const char*>(image_.constants()), "constant text");
        if (!row.elementsFreed) {
            RtFree(first);
            RtFree(second);
        }
    }
}

TEST_F(LibraryServices, UnknownNumbersAndCodesAnswerZero) {
    EXPECT_EQ(RtService(7, 1, 2, 3, 4, 5, 6), 0u);
    EXPECT_EQ(RtService(0xFFFFFFFF, 0, 0, 0, 0, 0, 0), 0u);
    EXPECT_EQ(RuntimeService(1999, 1, 2), 0);
    EXPECT_EQ(RuntimeService(kUnitWindowObject, 0x52010001, 0), 0);
}

}  // namespace
}  // namespace kx
