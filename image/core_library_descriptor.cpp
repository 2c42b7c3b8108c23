// The core library's descriptor, command table and data type records.
#include <array>

#include "core_commands.h"
#include "data_types.h"
#include "libraries.h"

namespace kx::image {

namespace {

using namespace kx::commands;

const Word kCoreCommands[kCoreCommandCount] = {
    ToWord(&Now),                // 0
    ToWord(&SecondOf),           // 1
    ToWord(&ToText),             // 2
    ToWord(&MessageBoxCommand),  // 3
    ToWord(&Clear),              // 4
    ToWord(&Create),             // 5
    ToWord(&Assign),             // 6
    ToWord(&CallMethod),         // 7
    ToWord(&WriteProperty),      // 8
    ToWord(&FindText),           // 9
    ToWord(&ToByteArray),        // 10
    ToWord(&TextLength),         // 11
    ToWord(&ReplaceSubtext),     // 12
    ToWord(&SplitText),          // 13
    ToWord(&SetVariant),         // 14
    ToWord(&ReadVariant),        // 15
    ToWord(&VariantToBytes),     // 16
    ToWord(&ClearVariant),       // 17
    ToWord(&ReadText),           // 18
    ToWord(&ReadNumber),         // 19
    ToWord(&TrimSpaces),         // 20
    ToWord(&LeftText),           // 21
    ToWord(&MidText),            // 22
    ToWord(&RightText),          // 23
    ToWord(&CharCodeAt),         // 24
    ToWord(&ToUpperCase),        // 25
    ToWord(&ByteArrayLength),    // 26
    ToWord(&Remainder),          // 27
    ToWord(&BlankByteArray),     // 28
    ToWord(&ShiftRight),         // 29
    ToWord(&BitAnd),             // 30
    ToWord(&ShiftLeft),          // 31
    ToWord(&ToByte),             // 32
    ToWord(&FindTextBackwards),  // 33
    ToWord(&CharFromCode),       // 34
    ToWord(&MidByteArray),       // 35
    ToWord(&MakeDateTime),       // 36
    ToWord(&AddInterval),        // 37
    ToWord(&SetClock),           // 38
};
static_assert(sizeof kCoreCommands / sizeof kCoreCommands[0] == kCoreCommandCount);

// Records of the types this program uses; the other 45 stay zero. Property tables and
// interface functions belong to the form layer and the COM support.
struct NamedType {
    Word index;
    const char* chineseName;
    const char* englishName;
    Word typeFlags;
    Word propertyCount;
    const Word* propertyTable = nullptr;
    Word (*interfaceFunction)(Word) = nullptr;
};
const NamedType kUsedTypes[] = {
    {0, "窗口", "window", 0x800000D0, 32, forms::kWindowPropertyTypes, &forms::WindowInterface},
    {9, "标签", "Label", 0x84012040, 29, forms::kLabelPropertyTypes, &forms::LabelInterface},
    {10, "按钮", "Button", 0x80000840, 14, forms::kButtonPropertyTypes, &forms::ButtonInterface},
    {31, "时钟", "Timer", 0x80008040, 9, forms::kTimerPropertyTypes, &forms::TimerInterface},
    {47, "对象", "ComObject", 0x80000000, 0},
    {48, "变体型", "Variant", 0x80000000, 0},
};

std::array<DataTypeRecord, kCoreDataTypeCount> MakeCoreDataTypes() {
    std::array<DataTypeRecord, kCoreDataTypeCount> records{};
    for (const NamedType& type : kUsedTypes) {
        DataTypeRecord& record = records[type.index];
        record.chineseName = ToWord(type.chineseName);
        record.englishName = ToWord(type.englishName);
        record.typeFlags = type.typeFlags;
        record.propertyCount = type.propertyCount;
        record.propertyTable = type.propertyTable ? ToWord(type.propertyTable) : 0;
        record.interfaceFunction = type.interfaceFunction ? ToWord(type.interfaceFunction) : 0;
    }
    return records;
}

const std::array<DataTypeRecord, kCoreDataTypeCount> kCoreDataTypes = MakeCoreDataTypes();

const char kCoreIdentifier[] = "5A3F6C1E9B2D4E87A1C0F3B6D8E29471";
const char kCoreDisplayName[] = "系统核心支持库";

}  // namespace

const LibraryDescriptor kCoreLibraryDescriptor = DescribeLibrary({
    .identifier = kCoreIdentifier,
    .displayName = kCoreDisplayName,
    .versionMajor = 5,
    .versionMinor = 7,
    .buildNumber = 64,
    .flags = 0xC0000001,
    .dataTypeCount = kCoreDataTypeCount,
    .dataTypes = ToWord(kCoreDataTypes.data()),
    .commandCount = kCoreCommandCount,
    .commandFunctions = ToWord(kCoreCommands),
    .notify = ToWord(&CoreLibraryNotify),
});

}  // namespace kx::image
