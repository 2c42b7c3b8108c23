// The form block reader, the unit tables and record walkers, relocation and the routine
// lookup, on blocks written by the tests.
#include "form_collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "archive.h"
#include "form_block_builder.h"
#include "kx/type_words.h"

namespace kx::forms {
namespace {

using testing::FormBlockBytes;
using testing::TestUnit;

constexpr Word kForm = 0x52010001;
constexpr Word kCodeBase = 0x401004;
// Offsets in a block of one form: 0 list length, 4 id, 8 slot, 12 word A, 16 word B, 20 text
// A count, 24 text B count, 28 unit count, 32 table length, 36 the table.
constexpr std::size_t kTableAt = 36;

std::vector<TestUnit> SampleUnits() {
    return {
        {0x06010000, type_word::kWindowType, "", {{0, 0x10}, {12, kNoRoutineOffset}}},
        {0x16010007, type_word::kButtonType, "按钮1", {{0, 0x18}, {-7, 0x20}}},
        {0x16010008, type_word::kButtonType, "按钮2", {}, {}, 5, 0x16010007},  // uses 按钮1's bindings
        {0x16010003, type_word::kLabelType, "标签2", {{0, kNoRoutineOffset}, {0, 0x28}}},
        {0x26010005, 0x00010003, "菜单", {{0, 0x30}}},
        {0x16010009, type_word::kLabelType, "标签9", {{0, 0x38}}, {}, 1, 0x16010007},  // other type
    };
}

bool Load(FormCollection& forms, const std::vector<std::uint8_t>& block) {
    return forms.Load(block.data(), static_cast<std::uint32_t>(block.size()));
}

// The sample form, loaded.
struct SampleForm : ::testing::Test {
    void SetUp() override { ASSERT_TRUE(Load(forms, block)); }
    const std::vector<std::uint8_t> block = FormBlockBytes({{kForm, SampleUnits(), ""}});
    FormCollection forms;
};

// A refused block leaves no forms, not even those of the load before.
void ExpectRefused(const std::vector<std::uint8_t>& block, const std::string& what) {
    FormCollection forms;
    ASSERT_TRUE(Load(forms, FormBlockBytes({{0x52010009, {SampleUnits()[0]}, ""}})));
    EXPECT_FALSE(Load(forms, block)) << what;
    EXPECT_TRUE(forms.empty()) << what;
}

TEST(FormBlockReader, ReadsFormsInStoredOrderWithTheirUnitTables) {
    const auto block = FormBlockBytes({{kForm, SampleUnits(), "主窗口"}, {0x52010002, {SampleUnits()[0]}, ""}});
    FormCollection forms;
    ASSERT_TRUE(Load(forms, block));
    ASSERT_EQ(forms.forms().size(), 2u);
    const FormTemplate& form = *forms.forms()[0];
    EXPECT_EQ(form.id, kForm);
    EXPECT_EQ(form.textA, "主窗口");
    EXPECT_EQ(form.table().count(), 6u);
    EXPECT_EQ(form.table().IdAt(3), 0x16010003u);
    EXPECT_EQ(form.table().IndexOf(0x26010005), 4u);
    EXPECT_EQ(form.table().IndexOf(0x16019999), std::nullopt);
    EXPECT_EQ(forms.Find(0x52010002), forms.forms()[1].get());
    EXPECT_EQ(forms.Find(0x52010003), nullptr);
    EXPECT_EQ(form.Walk(0)->head, 26u);  // the empty name keeps its 0 byte: the remark starts at 25
    const auto button = form.Walk(2);
    ASSERT_TRUE(button);
    EXPECT_EQ(button->name, "按钮2");
    EXPECT_EQ(button->flags, 5u);
    EXPECT_EQ(button->eventOwnerId, 0x16010007u);
    EXPECT_TRUE(form.Walk(4)->isMenuItem);
    EXPECT_EQ(form.Walk(4)->caption, "菜单");
}

TEST(FormBlockReader, BlocksCutShortOrWithCountsPastTheEndOrNoWindowFirstAreRefused) {
    const auto good = FormBlockBytes({{kForm, SampleUnits(), ""}});
    for (std::size_t size = 0; size < good.size(); ++size) {
        // A cut copy, so that a read past the cut would read memory that is not the block.
        ExpectRefused({good.begin(), good.begin() + static_cast<std::ptrdiff_t>(size)}, std::to_string(size));
    }
    struct Row { const char* what; std::size_t at; Word value; };
    const Row rows[] = {
        {"form list length", 0, 0xFFFFFFF8},
        {"text count", 20, 0x7FFFFFFF},
        {"unit count", 28, 0x40000000},
        {"unit table length", 32, 0xFFFFFFFF},
        {"record offset", kTableAt + 4 * 6, 0xFFFFFFF0},  // unit 0's offset
        {"record length", kTableAt + 8 * 6, 0xFFFFFFFC},  // unit 0's length word
    };
    for (const Row& row : rows) {
        auto block = good;
        StoreWord(block.data() + row.at, row.value);
        ExpectRefused(block, row.what);
    }
    // The loader makes a form window of unit 0's object.
    const std::pair<Word, Word> notWindows[] = {{0x06010000, type_word::kLabelType},
                                                {0x06010000, type_word::kButtonType},
                                                {0x26010006, type_word::kWindowType}};  // a menu item
    for (const auto& [id, typeId] : notWindows) {
        auto units = SampleUnits();
        units[0].id = id, units[0].typeId = typeId;
        ExpectRefused(FormBlockBytes({{kForm, units, ""}}), std::to_string(typeId));
    }
}

TEST(FormBlockReader, ARecordWhoseInnerCountsRunPastItsEndFailsRelocation) {
    auto units = SampleUnits();
    units[1].children = {0x16010008};
    auto block = FormBlockBytes({{kForm, units, ""}});
    // Unit 1's child count word: record start + 24 + name (6 bytes with 0) + remark + 28.
    const std::size_t record1 = kTableAt + 8 * 6 + LoadWord(block.data() + kTableAt + 4 * 6 + 4) + 4;
    StoreWord(block.data() + record1 + 24 + 6 + 1 + 28, 0x10000000);
    FormCollection forms;
    ASSERT_TRUE(Load(forms, block));
    EXPECT_FALSE(forms.Find(kForm)->Walk(1));
    EXPECT_FALSE(forms.RelocateRoutines(kCodeBase));
}

TEST_F(SampleForm, RelocationKeepsStoredOffsetsAndHappensOnce) {
    ASSERT_TRUE(forms.RelocateRoutines(kCodeBase));
    ASSERT_TRUE(forms.RelocateRoutines(kCodeBase + 0x100));  // changes nothing
    const FormTemplate& form = *forms.Find(kForm);
    struct Row { Word index; std::int32_t event; Word routine; };
    const Row rows[] = {
        {0, 0, kCodeBase + 0x10},
        {0, 12, 0},              // 0xFFFFFFFF: no routine, never codeBase - 1
        {0, 3, 0},               // not bound
        {1, -7, kCodeBase + 0x20},
        {2, 0, kCodeBase + 0x18},  // through the owner of the same type
        {2, -7, kCodeBase + 0x20},
        {3, 0, 0},               // the first binding with the index decides
        {4, 99, kCodeBase + 0x30},  // a menu item's one routine serves every event
        {5, 0, kCodeBase + 0x38},  // an owner of another type is not followed
    };
    for (const Row& row : rows) {
        EXPECT_EQ(form.RoutineFor(row.index, row.event), row.routine) << row.index << "/" << row.event;
    }
    EXPECT_EQ(form.Walk(0)->bindings[0].routineOffset, 0x10u);
    EXPECT_EQ(form.Walk(4)->menuRoutineOffset, 0x30u);
}

TEST_F(SampleForm, ReplacingARecordMovesOnlyTheLaterOnes) {
    UnitTable& table = forms.Find(kForm)->table();
    std::vector<std::vector<std::uint8_t>> before;
    for (Word i = 0; i < table.count(); ++i) before.emplace_back(table.Record(i).begin(), table.Record(i).end());
    auto units = SampleUnits();
    units[2].tag = "a much longer tag than before";
    const auto replacement = testing::UnitRecordBytes(units[2]);
    table.ReplaceRecord(2, replacement);
    for (Word i = 0; i < table.count(); ++i) {
        EXPECT_EQ(std::vector<std::uint8_t>(table.Record(i).begin(), table.Record(i).end()),
                  i == 2 ? replacement : before[i]) << i;
    }
    EXPECT_EQ(forms.Find(kForm)->Walk(2)->tag, "a much longer tag than before");
    table.ReplaceRecord(2, before[2]);  // shrinking back
    EXPECT_EQ(table.bytes().size(), block.size() - kTableAt);
    EXPECT_EQ(forms.Find(kForm)->Walk(5)->name, "标签9");
}

TEST(UnitTable, RecordsThatShareBytesAreRefused) {
    // Two units; each record is a length word and 12 bytes whose first word reads as a
    // length of 8, so an offset into a record still finds a record that fits the table.
    const auto table = [](Word offset0, Word offset1) {
        ArchiveWriter out;
        out.Word32(0x16010001), out.Word32(0x16010002), out.Word32(offset0), out.Word32(offset1);
        for (int record = 0; record < 2; ++record) out.Word32(12), out.Word32(8), out.Word32(0), out.Word32(0);
        return out.Take();
    };
    struct Row { Word offset0, offset1; bool accepted; };
    const Row rows[] = {
        {0, 16, true},
        {16, 0, true},   // stored in another order
        {0, 32, false},  // past the end
        {0, 20, true},   // a gap before it
        {16, 20, false},  // inside the other record, and fits the table
        {0, 4, false},
        {0, 0, false},   // both in the same bytes
        {4, 0, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(UnitTable::FromBytes(2, table(row.offset0, row.offset1)).has_value(), row.accepted)
            << row.offset0 << "/" << row.offset1;
    }
    // Shared bytes would break replacing: a shrunk record would move a record inside it
    // below its start, out of the table. Records stored in another order replace soundly.
    auto accepted = UnitTable::FromBytes(2, table(16, 0));
    ASSERT_TRUE(accepted);
    const std::uint8_t shorter[] = {1, 2};
    accepted->ReplaceRecord(1, shorter);
    EXPECT_EQ(accepted->Record(0).size(), 12u);
    EXPECT_EQ(LoadWord(accepted->Record(0).data()), 8u);
    EXPECT_EQ(accepted->Record(1).size(), 2u);
}

TEST(ArchiveReader, AFailedReadLeavesTheOutputAndFailsEveryLaterRead) {
    const std::uint8_t bytes[] = {7, 0, 0, 0, 'a', 'b', 7, 0, 0, 0};
    ArchiveReader reader(bytes, sizeof bytes);
    std::string text = "untouched";
    EXPECT_FALSE(reader.ReadCountedText(text));
    EXPECT_EQ(text, "untouched");
    Word word = 42;
    EXPECT_FALSE(reader.ReadWord(word));  // failed readers stay failed
    EXPECT_EQ(word, 42u);
}

}  // namespace
}  // namespace kx::forms
