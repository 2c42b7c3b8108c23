// The clock corrector's program image as the runtime reads it.
#include "kx/program_image.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "kx/constants.h"
#include "kx/program_calls.h"
#include "kx/type_words.h"

namespace kx {
namespace {

const char* TextAt(Word word) { return FromWord<const char*>(word); }

TEST(ProgramImage, HeaderWords) {
    const ProgramImageHeader& header = image::Header();
    EXPECT_EQ(header.buildKind, 3u);
    EXPECT_EQ(header.imageWord1, 0u);
    EXPECT_EQ(header.imageWord2, 99919u);
    EXPECT_EQ(header.constBlock, ToWord(&image::kConstants));
    EXPECT_EQ(header.constBlockSize, sizeof image::kConstants);
    EXPECT_EQ(header.libraryCount, 2u);
    EXPECT_EQ(header.dllCommandCount, 3u);
}

TEST(ProgramImage, CodeBaseLiesBehindTheStubRoutines) {
    const Word codeBase = image::Header().codeBase;
    EXPECT_EQ(FromWord<int (*)()>(codeBase - 4)(), 0);
    FromWord<void (*)()>(codeBase - 2)();  // returns at once
    const auto* stub = FromWord<const unsigned char*>(codeBase - 4);
    EXPECT_EQ(stub[2], 0xC3);  // the second routine is a lone return
}

TEST(ProgramImage, DllCommandTables) {
    const ProgramImageHeader& header = image::Header();
    const auto* libraries = FromWord<const Word*>(header.dllLibraryNames);
    const auto* entries = FromWord<const Word*>(header.dllEntryNames);
    const char* expected[][2] = {{"ole32.dll", "CoInitialize"},
                                 {"ole32.dll", "CoUninitialize"},
                                 {"wininet.dll", "InternetTimeToSystemTime"}};
    for (Word n = 0; n < 3; ++n) {
        EXPECT_STREQ(TextAt(libraries[n]), expected[n][0]);
        EXPECT_STREQ(TextAt(entries[n]), expected[n][1]);
    }
}

TEST(ProgramImage, LibraryDescriptors) {
    const auto* libraries = FromWord<const Word*>(image::Header().libraries);
    const auto& core = *FromWord<const LibraryDescriptor*>(libraries[0]);
    const auto& threads = *FromWord<const LibraryDescriptor*>(libraries[1]);
    struct Row { const LibraryDescriptor* library; Word major, minor, build, flags, types, commands; };
    const Row rows[] = {{&core, 5, 7, 64, 0xC0000001, 51, 39}, {&threads, 2, 0, 3, 0xC0000000, 0, 1}};
    for (const Row& row : rows) {
        EXPECT_EQ(row.library->formatStamp, 20000101u);
        EXPECT_EQ(row.library->versionMajor, row.major);
        EXPECT_EQ(row.library->versionMinor, row.minor);
        EXPECT_EQ(row.library->buildNumber, row.build);
        EXPECT_EQ(row.library->flags, row.flags);
        EXPECT_EQ(row.library->dataTypeCount, row.types);
        EXPECT_EQ(row.library->commandCount, row.commands);
        EXPECT_EQ(row.library->commandInfo, 0u);
        EXPECT_NE(row.library->notify, 0u);
        EXPECT_EQ(std::strlen(TextAt(row.library->identifier)), 32u);
        for (Word i = 0; i < row.commands; ++i) EXPECT_NE(program::CommandAddress(row.library == &core ? 0 : 1, i), 0u);
    }
    // The thread library's table is deliberately unaligned.
    EXPECT_NE(threads.commandFunctions % 4, 0u);
}

TEST(ProgramImage, OnlyTheSixUsedDataTypesAreFilled) {
    const auto* libraries = FromWord<const Word*>(image::Header().libraries);
    const auto& core = *FromWord<const LibraryDescriptor*>(libraries[0]);
    const auto* records = FromWord<const DataTypeRecord*>(core.dataTypes);
    struct Row { Word id; const char* chinese; const char* english; Word flags, properties; };
    const Row rows[] = {
        {type_word::kWindowType, "窗口", "window", 0x800000D0, 32},
        {type_word::kLabelType, "标签", "Label", 0x84012040, 29},
        {type_word::kButtonType, "按钮", "Button", 0x80000840, 14},
        {type_word::kTimerType, "时钟", "Timer", 0x80008040, 9},
        {type_word::kComObjectType, "对象", "ComObject", 0x80000000, 0},
        {type_word::kVariantType, "变体型", "Variant", 0x80000000, 0},
    };
    int filled = 0;
    for (Word i = 0; i < core.dataTypeCount; ++i) filled += records[i].chineseName != 0;
    EXPECT_EQ(filled, 6);
    for (const Row& row : rows) {
        const DataTypeRecord& record = records[type_word::RecordIndexOf(row.id)];
        EXPECT_STREQ(TextAt(record.chineseName), row.chinese);
        EXPECT_STREQ(TextAt(record.englishName), row.english);
        EXPECT_EQ(record.typeFlags, row.flags);
        EXPECT_EQ(record.propertyCount, row.properties);
    }
}

TEST(ProgramImage, ConstantTexts) {
    EXPECT_STREQ(image::kConstants.emptyText, "");
    EXPECT_STREQ(image::kConstants.localTimePrefix, "当前时间：");
    EXPECT_STREQ(image::kConstants.networkTimePrefix, "北京时间：");
    EXPECT_STREQ(image::kConstants.failureMarker, "100");
    EXPECT_STREQ(image::kConstants.warningTitle, "警告");
    EXPECT_EQ(std::strlen(image::kConstants.localTimePrefix), 10u);  // five GBK characters
}

}  // namespace
}  // namespace kx
