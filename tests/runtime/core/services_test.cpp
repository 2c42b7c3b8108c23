// The numbered services of program code and the service routine of libraries.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "entries.h"
#include "kx/entry_table.h"
#include "runtime_fixture.h"

namespace kx {
namespace {

using testing::MakeLibraryDescriptor;
using testing::RuntimeTest;
using testing::TestImage;

Word Service(ServiceNumber number, Word a = 0, Word b = 0, Word c = 0, Word d = 0) {
    return RtService(static_cast<std::uint32_t>(number), a, b, c, d, 0, 0);
}

class FindFileService : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "kx_find_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder_.c_str(), nullptr);
        for (const char* name : {"plain.txt", "hidden.txt", "readonly.txt"}) {
            std::ofstream(folder_ + "\\" + name) << "x";
        }
        CreateDirectoryA((folder_ + "\\sub").c_str(), nullptr);
        SetFileAttributesA((folder_ + "\\hidden.txt").c_str(), FILE_ATTRIBUTE_HIDDEN);
        SetFileAttributesA((folder_ + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY);
        SetFileAttributesA((folder_ + "\\plain.txt").c_str(), FILE_ATTRIBUTE_ARCHIVE);
    }
    void TearDown() override {
        SetFileAttributesA((folder_ + "\\readonly.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
        RuntimeTest::TearDown();
    }

    // Every name the service yields for (pattern, mask, filesOnly), in order.
    std::set<std::string> FindAll(const std::string& pattern, Word mask, bool filesOnly) {
        std::set<std::string> names;
        Word handle = 0;
        Word found = Service(ServiceNumber::kFindFile, ToWord(pattern.c_str()), mask, filesOnly,
                             ToWord(&handle));
        while (found) {
            names.insert(FromWord<const char*>(found));
            RtFree(FromWord<void*>(found));
            found = Service(ServiceNumber::kFindFile, 0, mask, filesOnly, ToWord(&handle));
        }
        EXPECT_EQ(handle, 0u) << "the handle is closed and cleared at the end";
        return names;
    }

    std::string folder_;
};

TEST_F(FindFileService, FilesOnlyTakesEverythingButDirectories) {
    EXPECT_EQ(FindAll(folder_ + "\\*", 0, true),
              (std::set<std::string>{"hidden.txt", "plain.txt", "readonly.txt"}));
}

TEST_F(FindFileService, AMaskTakesEntriesWithAnyOfItsAttributes) {
    EXPECT_EQ(FindAll(folder_ + "\\*", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY, false),
              (std::set<std::string>{"hidden.txt", "readonly.txt"}));
    const auto directories = FindAll(folder_ + "\\*", FILE_ATTRIBUTE_DIRECTORY, false);
    EXPECT_TRUE(directories.count("sub"));
    EXPECT_FALSE(directories.count("plain.txt"));
}

TEST_F(FindFileService, AttributesOutsideTheFiveAreIgnoredInTheMask) {
    // 0x80 (normal) alone is outside the mask's limit: the mask counts as 0, which only
    // takes entries with no attribute at all.
    EXPECT_TRUE(FindAll(folder_ + "\\*", 0x80, false).empty());
}

TEST_F(FindFileService, NothingFoundClosesTheSearch) {
    Word handle = 0;
    EXPECT_EQ(Service(ServiceNumber::kFindFile, ToWord((folder_ + "\\*.none").c_str()), 0, 1,
                      ToWord(&handle)),
              0u);
    EXPECT_EQ(handle, 0u);
    // Continuing without a search finds nothing, and a null handle address is refused.
    EXPECT_EQ(Service(ServiceNumber::kFindFile, 0, 0, 1, ToWord(&handle)), 0u);
    EXPECT_EQ(Service(ServiceNumber::kFindFile, ToWord((folder_ + "\\*").c_str()), 0, 1, 0), 0u);
}

TEST_F(FindFileService, ANewPatternClosesTheOpenSearch) {
    Word handle = 0;
    const std::string pattern = folder_ + "\\*.txt";
    Word found = Service(ServiceNumber::kFindFile, ToWord(pattern.c_str()), 0, 1, ToWord(&handle));
    ASSERT_NE(found, 0u);
    RtFree(FromWord<void*>(found));
    const Word first = handle;
    found = Service(ServiceNumber::kFindFile, ToWord(pattern.c_str()), 0, 1, ToWord(&handle));
    ASSERT_NE(found, 0u);
    RtFree(FromWord<void*>(found));
    EXPECT_NE(handle, 0u);
    // The first search was closed: closing it again fails (unless its handle was reused).
    if (first != handle) {
        EXPECT_FALSE(::FindClose(LongToHandle(static_cast<LONG>(first))));
    }
    Service(ServiceNumber::kFindClose, handle);
    Service(ServiceNumber::kFindClose, 0);  // a zero handle is left alone
}

class Services : public RuntimeTest {};

void RoutineA() {}
void RoutineB() {}

TEST_F(Services, ExitRoutinesAreKeptInOrderWithoutDuplicates) {
    Service(ServiceNumber::kAddExitRoutine, ToWord(&RoutineA));
    Service(ServiceNumber::kAddExitRoutine, ToWord(&RoutineB));
    Service(ServiceNumber::kAddExitRoutine, ToWord(&RoutineA));
    EXPECT_EQ(app_->exitRoutines(), (std::vector<Word>{ToWord(&RoutineA), ToWord(&RoutineB)}));
}

TEST_F(Services, MakingAConstantArrayWritableCopiesHeaderAndElements) {
    Word* constantBlock = reinterpret_cast<Word*>(image_.constants());
    const Word block[] = {2, 2, 3, 1, 2, 3, 4, 5, 6};
    std::memcpy(constantBlock, block, sizeof block);
    Word variable = ToWord(constantBlock);
    Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), 4);
    ASSERT_NE(variable, ToWord(constantBlock));
    EXPECT_FALSE(app_->IsConstant(FromWord<void*>(variable)));
    EXPECT_EQ(std::memcmp(FromWord<void*>(variable), block, sizeof block), 0);

    // A heap block is already writable and stays where it is.
    const Word heapBlock = variable;
    Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), 4);
    EXPECT_EQ(variable, heapBlock);
    RtFree(FromWord<void*>(variable));
}

TEST_F(Services, AConstantArrayClaimingMoreThanTheBlockIsCutAtItsEnd) {
    Word* constantBlock = reinterpret_cast<Word*>(image_.constants());
    constantBlock[0] = 1;
    constantBlock[1] = 0x00FFFFFF;  // far more elements than the block holds
    Word variable = ToWord(constantBlock);
    Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), 1);
    EXPECT_NE(variable, ToWord(constantBlock));
    EXPECT_EQ(FromWord<Word*>(variable)[1], 0x00FFFFFFu);
    RtFree(FromWord<void*>(variable));
}

TEST_F(Services, AConstantArrayWhoseHeaderRunsPastTheBlockIsCopiedWithoutReadingPastIt) {
    // The block ends where an inaccessible page begins: reading its header word would fault.
    std::uint8_t* const tail = image_.constants() + TestImage::kConstantsSize - 2;
    tail[0] = 'x';
    tail[1] = 'y';
    Word variable = ToWord(tail);
    Service(ServiceNumber::kMakeArrayWritable, ToWord(&variable), 4);
    ASSERT_NE(variable, ToWord(tail));
    EXPECT_FALSE(app_->IsConstant(FromWord<void*>(variable)));
    EXPECT_EQ(std::memcmp(FromWord<void*>(variable), "xy", 2), 0);
    RtFree(FromWord<void*>(variable));
}

TEST_F(Services, UnknownServiceNumbersAnswerZero) {
    EXPECT_EQ(RtService(7, 1, 2, 3, 4, 5, 6), 0u);
    EXPECT_EQ(RtService(0xFFFFFFFF, 0, 0, 0, 0, 0, 0), 0u);
}

class LibraryServices : public RuntimeTest {
protected:
    void SetUp() override {
        for (Word i = 0; i < 3; ++i) records_[i].typeFlags = 0x100 + i;
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
        {0x00010004, nullptr},       // past the record count
        {0x00010000, nullptr},       // record index -1
        {0x00020001, nullptr},       // library 1 is a null entry
        {0x00030001, nullptr},       // no library 2
        {0x80000301, nullptr},       // a base type
        {0x40000001, nullptr},       // a type the program defines
        {0, nullptr},
    };
    for (const Row& row : rows) {
        const Word expected = row.expected ? ToWord(row.expected) : 0;
        EXPECT_EQ(static_cast<Word>(RuntimeService(library_service::kDataTypeRecord, row.id, 0)), expected)
            << std::hex << row.id;
        EXPECT_EQ(static_cast<Word>(RuntimeService(library_service::kDataTypeRecordAlias, row.id, 0)), expected);
    }
}

TEST_F(LibraryServices, ProgramPathBuildKindAndEventSuppression) {
    EXPECT_STREQ(FromWord<const char*>(RuntimeService(library_service::kProgramDirectory, 0, 0)),
                 app_->programDirectory().c_str());
    EXPECT_STREQ(FromWord<const char*>(RuntimeService(library_service::kProgramFileName, 0, 0)),
                 app_->programFileName().c_str());
    EXPECT_EQ(RuntimeService(library_service::kBuildKind, 0, 0), 3);

    EXPECT_FALSE(app_->EventsSuppressed());
    RuntimeService(library_service::kSuppressEvents, 0, 0);
    RuntimeService(library_service::kSuppressEvents, 0, 0);
    RuntimeService(library_service::kAllowEvents, 0, 0);
    EXPECT_TRUE(app_->EventsSuppressed());
    RuntimeService(library_service::kAllowEvents, 0, 0);
    RuntimeService(library_service::kAllowEvents, 0, 0);  // never below zero
    EXPECT_FALSE(app_->EventsSuppressed());
    RuntimeService(library_service::kSuppressEvents, 0, 0);
    EXPECT_TRUE(app_->EventsSuppressed());
}

TEST_F(LibraryServices, FreeingATextArrayFreesItsElementsThenTheBlock) {
    const HANDLE heap = GetProcessHeap();
    auto* block = static_cast<Word*>(RtAlloc(4 * 6));
    void* first = RtAlloc(8);
    void* second = RtAlloc(8);
    const Word elements[] = {1, 4, ToWord(first), 0, ToWord(image_.constants()), ToWord(second)};
    std::memcpy(block, elements, sizeof elements);
    RuntimeService(library_service::kFreeArray, type_word::kText | type_word::kAddressBit, ToWord(block));
    EXPECT_FALSE(HeapValidate(heap, 0, first));
    EXPECT_FALSE(HeapValidate(heap, 0, second));
    EXPECT_FALSE(HeapValidate(heap, 0, block));
    EXPECT_STREQ(reinterpret_cast<const char*>(image_.constants()), "constant text");
}

TEST_F(LibraryServices, FreeingAnArrayThatClaimsMoreElementsThanItHoldsStopsAtItsEnd) {
    const HANDLE heap = GetProcessHeap();
    void* element = RtAlloc(8);
    auto* block = static_cast<Word*>(HeapAlloc(heap, 0, 12));  // room for one element only
    block[0] = 1;
    block[1] = 1000000;
    block[2] = ToWord(element);
    RuntimeService(library_service::kFreeArray, type_word::kByteArray | type_word::kAddressBit, ToWord(block));
    EXPECT_FALSE(HeapValidate(heap, 0, element));
    EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
}

TEST_F(LibraryServices, FreeingANumberArrayFreesOnlyTheBlock) {
    auto* block = static_cast<Word*>(RtAlloc(4 * 3));
    void* unrelated = RtAlloc(8);
    block[0] = 1;
    block[1] = 1;
    block[2] = ToWord(unrelated);  // a number that happens to look like an address
    RuntimeService(library_service::kFreeArray, type_word::kInteger | type_word::kAddressBit, ToWord(block));
    EXPECT_TRUE(HeapValidate(GetProcessHeap(), 0, unrelated));
    RtFree(unrelated);
}

TEST_F(LibraryServices, UnknownCodesAnswerZero) {
    EXPECT_EQ(RuntimeService(1999, 1, 2), 0);
    EXPECT_EQ(RuntimeService(library_service::kUnitWindowObject, 0x52010001, 0), 0);
}

}  // namespace
}  // namespace kx
