// The start form as stored bytes, built by constant evaluation so that the block is plain
// constant data with the routine offsets of the thunk table (program_code.h) in it.
#include "form_block.h"

#include <array>
#include <string_view>

#include "kx/program_image.h"
#include "kx/type_words.h"
#include "program_code.h"

namespace kx::image {

namespace {

template <std::size_t N>
struct Bytes {
    std::array<std::uint8_t, N> data{};
    std::size_t size = 0;

    constexpr void U8(std::uint8_t byte) { data[size++] = byte; }
    constexpr void U32(Word word) {
        for (int shift = 0; shift < 32; shift += 8) U8(static_cast<std::uint8_t>(word >> shift));
    }
    constexpr void I32(std::int32_t value) { U32(static_cast<Word>(value)); }
    constexpr void Raw(std::string_view text) {
        for (char c : text) U8(static_cast<std::uint8_t>(c));
    }
    constexpr void ZeroTerminated(std::string_view text) { Raw(text), U8(0); }
    constexpr void Counted(std::string_view text) { U32(static_cast<Word>(text.size())), Raw(text); }
    constexpr void Zeros(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) U8(0);
    }
    template <std::size_t M>
    constexpr void Append(const Bytes<M>& other) {
        for (std::size_t i = 0; i < other.size; ++i) U8(other.data[i]);
    }
    template <std::size_t M>
    constexpr void Buffer(const Bytes<M>& other) { U32(static_cast<Word>(other.size)), Append(other); }
};

using Block = Bytes<512>;

enum class Kind { kWindow, kButton, kTimer, kLabel };

struct UnitSpec {
    Word id;
    Kind kind;
    std::string_view name;
    std::int32_t left, top, width, height;
    Word flags;
    std::string_view text;
    bool bound;
    ProgramRoutine routine;
    bool font;
};

constexpr std::string_view kTitle = "Velmo 校时工具";
static_assert(kTitle.substr(5) == kDisplayName);

// Stored order is the unit table's index order.
constexpr UnitSpec kUnits[] = {
    {unit::kWindow, Kind::kWindow, "", 50, 50, 380, 258, 1, kTitle, true, ProgramRoutine::kOnWindowCreated, false},
    {unit::kButton6, Kind::kButton, "按钮6", 192, 184, 56, 32, 5, "同步", true, ProgramRoutine::kOnSync, false},
    {unit::kTimer1, Kind::kTimer, "时钟1", 320, 136, 40, 40, 0, "", true, ProgramRoutine::kOnTimerTick, false},
    {unit::kLabel3, Kind::kLabel, "标签3", 16, 128, 352, 40, 1, "北京时间：XXXX-XX-XX 00:00:00", false, {}, false},
    {unit::kButton5, Kind::kButton, "按钮5", 128, 184, 56, 32, 5, "至0", true, ProgramRoutine::kOnRoundToMinute, false},
    {unit::kButton4, Kind::kButton, "按钮4", 312, 184, 48, 32, 5, "+1m", true, ProgramRoutine::kOnPlusMinute, false},
    {unit::kButton3, Kind::kButton, "按钮3", 264, 184, 48, 32, 5, "-1m", true, ProgramRoutine::kOnMinusMinute, false},
    {unit::kButton2, Kind::kButton, "按钮2", 56, 184, 48, 32, 5, "+1s", true, ProgramRoutine::kOnPlusSecond, false},
    {unit::kButton1, Kind::kButton, "按钮1", 8, 184, 48, 32, 5, "-1s", true, ProgramRoutine::kOnMinusSecond, false},
    {unit::kLabel2, Kind::kLabel, "标签2", 16, 80, 352, 40, 1, "当前时间：XXXX-XX-XX 00:00:00", false, {}, false},
    {unit::kLabel1, Kind::kLabel, "标签1", 24, 16, 320, 56, 1, kDisplayName, false, {}, true},
};
constexpr Word kUnitCount = sizeof kUnits / sizeof kUnits[0];

constexpr Word TypeOf(Kind kind) {
    switch (kind) {
        case Kind::kWindow: return type_word::kWindowType;
        case Kind::kButton: return type_word::kButtonType;
        case Kind::kTimer: return type_word::kTimerType;
        case Kind::kLabel: return type_word::kLabelType;
    }
    return 0;
}

// 标签1's LOGFONTA: 48 pixels of 微软雅黑, GB2312.
constexpr Block HeadingFont() {
    Block font;
    font.I32(-48), font.I32(0), font.I32(0), font.I32(0), font.I32(400);
    for (std::uint8_t byte : {0, 0, 0, 134, 3, 2, 1, 0x22}) font.U8(byte);
    constexpr std::string_view face = "微软雅黑";
    font.Raw(face);
    font.Zeros(32 - face.size());
    return font;
}

constexpr Block PropertyBlock(const UnitSpec& spec) {
    Block block;
    const Block empty;
    switch (spec.kind) {
        case Kind::kWindow:
            for (Word word : {6u, 2u, 1u, 0xFF000000u, 0u, 1u, 1u, 1u, 1u, 0u, 0u, 1u, 0u, 0u, 1u, 0u, 0u, 0u, 0u}) {
                block.U32(word);
            }
            block.Counted("");  // window class: QZWindow
            block.Buffer(empty), block.Buffer(empty), block.Buffer(empty);
            block.Counted(spec.text);
            block.Counted("");
            break;
        case Kind::kButton:
            block.U32(1), block.U32(0), block.U32(1), block.U32(1);
            block.Buffer(empty), block.Buffer(empty);
            block.Counted(spec.text);
            break;
        case Kind::kTimer:
            block.U32(1), block.U32(0);
            break;
        case Kind::kLabel:
            block.U32(2);
            for (Word word : {0u, 8u, 0u, 0x808080u, 0xFFFFFFu, 0x808080u, 0u, 0xFF000000u, 1u, 0u, 0x808080u,
                              0xFFFFFFu, 0x808080u, 1u, 1u, 0u}) {
                block.U32(word);
            }
            block.Buffer(spec.font ? HeadingFont() : empty);
            block.Buffer(empty);
            block.Counted(spec.text);
            block.Counted(""), block.Counted("");
            break;
    }
    return block;
}

constexpr Block UnitRecordBytes(const UnitSpec& spec) {
    Block record;
    record.U32(TypeOf(spec.kind));
    record.U32(0);  // event owner
    record.Zeros(16);
    record.ZeroTerminated(spec.name);
    record.ZeroTerminated("");  // remark
    record.U32(0);              // object
    record.I32(spec.left), record.I32(spec.top), record.I32(spec.width), record.I32(spec.height);
    record.U32(0);  // cursor
    record.U32(0);  // parent: the form
    record.U32(0);  // no children
    record.U32(4), record.U32(0);  // mouse pointer: the default
    record.ZeroTerminated("");     // tag
    record.U32(0);
    record.U32(spec.flags);
    record.I32(0);  // tab order
    record.U32(spec.bound ? 1 : 0);
    if (spec.bound) record.I32(0), record.U32(RoutineOffset(spec.routine));
    record.Zeros(20);
    record.Append(PropertyBlock(spec));
    return record;
}

constexpr Bytes<4096> UnitTableBytes() {
    Bytes<4096> table;
    for (const UnitSpec& spec : kUnits) table.U32(spec.id);
    Word offset = 0;
    for (const UnitSpec& spec : kUnits) {
        table.U32(offset);
        offset += 4 + static_cast<Word>(UnitRecordBytes(spec).size);
    }
    for (const UnitSpec& spec : kUnits) table.Buffer(UnitRecordBytes(spec));
    return table;
}

constexpr Bytes<4096> FormBlockBytes() {
    Bytes<4096> block;
    block.U32(8);  // one form: its id and its slot
    block.U32(kStartFormId);
    block.U32(0);
    block.U32(0x0266DF18), block.U32(0x19010005);
    block.Counted(""), block.Counted("");
    block.U32(kUnitCount);
    block.Buffer(UnitTableBytes());
    return block;
}

// Only the trimmed copy is laid down in the program.
constexpr std::size_t kBlockSize = FormBlockBytes().size;

constexpr std::array<std::uint8_t, kBlockSize> Trimmed() {
    const auto block = FormBlockBytes();
    std::array<std::uint8_t, kBlockSize> bytes{};
    for (std::size_t i = 0; i < kBlockSize; ++i) bytes[i] = block.data[i];
    return bytes;
}

constexpr std::array<std::uint8_t, kBlockSize> kFormBlock = Trimmed();

}  // namespace

const std::uint8_t* FormBlock() { return kFormBlock.data(); }
Word FormBlockSize() { return static_cast<Word>(kFormBlock.size()); }

}  // namespace kx::image
