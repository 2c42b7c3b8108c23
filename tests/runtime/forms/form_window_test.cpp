// The form layer in process: the application's form loaded for real, load events, closing,
// property access from the window's thread and from another, and the controls' rules.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "entries.h"
#include "event_arguments.h"
#include "form_block_builder.h"
#include "kx/program_image.h"
#include "kx/program_routine.h"
#include "kx/type_words.h"
#include "memory.h"
#include "picture_files.h"
#include "property_blocks.h"
#include "runtime_app.h"
#include "screen_capture.h"
#include "test_image.h"
#include "text936.h"
#include "timer/timer.h"
#include "unit_window.h"
#include "window/form_window.h"
#include "window_layer.h"

namespace kx {
namespace {

using namespace kx::testing;
namespace unit = image::unit;

constexpr Word kForm = image::kStartFormId;
constexpr Word kOwnUnit = 0x06010000;
constexpr Word kTimer = 0x16010004;
constexpr Word kLabel = 0x16010003;
constexpr Word kButton = 0x16010007;

HWND WindowOf(Word formId, Word unitId) {
    return static_cast<HWND>(forms::WindowLayer().UnitWindowHandle(formId, unitId));
}
void CloseForm(Word formId = kForm) { SendMessageW(WindowOf(formId, 0), WM_CLOSE, 0, 0); }

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

HGDIOBJ FontOf(HWND window) { return reinterpret_cast<HGDIOBJ>(SendMessageW(window, WM_GETFONT, 0, 0)); }
DWORD StyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE)); }
DWORD ExStyleOf(HWND window) { return static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE)); }

// Top-level windows of this thread of one class: other test processes may show theirs.
int ThreadWindowsOfClass(const wchar_t* className) {
    int count = 0;
    for (HWND window = nullptr; (window = FindWindowExW(nullptr, window, className, nullptr));) {
        count += GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    }
    return count;
}

std::int32_t Read(Word unitId, std::int32_t property) {
    return static_cast<std::int32_t>(RtReadProperty(kForm, unitId, property, -1));
}
void Write(Word unitId, std::int32_t property, Word value) { RtWriteProperty(kForm, unitId, property, -1, value, 0); }

// A value read back as its bytes: a text's, or a byte value's behind its header.
std::string ValueBytes(Word unitId, std::int32_t property, bool text) {
    const Word value = static_cast<Word>(RtReadProperty(kForm, unitId, property, -1));
    auto* block = FromWord<char*>(value);
    std::string bytes = !block ? "" : text ? block : std::string(block + 8, FromWord<Word*>(value)[1]);
    RtFree(block);
    return bytes;
}

// Bytes as a byte array on the runtime heap; the caller frees it.
std::uint8_t* NewByteArray(const std::vector<std::uint8_t>& bytes) {
    auto* array = static_cast<std::uint8_t*>(RtAlloc(static_cast<std::uint32_t>(8 + bytes.size())));
    const Word header[2] = {1, static_cast<Word>(bytes.size())};
    std::memcpy(array, header, sizeof header);
    std::memcpy(array + 8, bytes.data(), bytes.size());
    return array;
}

// Writes bytes as a byte value of a unit's property.
void WriteBytes(Word unitId, std::int32_t property, const std::vector<std::uint8_t>& bytes) {
    auto* array = NewByteArray(bytes);
    Write(unitId, property, ToWord(array));
    RtFree(array);
}

// A runtime started in process with the real core library (for its data types) and the
// form layer, on a form block of the test's choosing. Routines bound in test blocks are
// stored as absolute addresses: the fixture's codeBase is 0.
// Lets the thread's messages through until `done` or about `limitMs` have passed.
template <typename Done>
void PumpUntil(Done done, DWORD limitMs) {
    const ULONGLONG end = GetTickCount64() + limitMs;
    while (!done() && GetTickCount64() < end) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// What the routines of test blocks saw.
std::vector<std::string> g_log;
std::atomic<int> g_ticks{0};
std::atomic<DWORD> g_tickThread{0};
// kCloseAgain: the routine closes the form itself, as one that waits in a box while the
// form is closed again would; it returns nothing.
enum class CloseAnswer { kNothing, kZero, kOne, kCloseAgain } g_closeAnswer = CloseAnswer::kNothing;

class FormTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_ticks = 0;
        g_closeAnswer = CloseAnswer::kNothing;
    }
    void Start(std::vector<std::uint8_t> block, bool absoluteRoutines = true) {
        block_ = std::move(block);
        const Word core = FromWord<const Word*>(image::Header().libraries)[0];
        image_.AddLibrary(FromWord<const LibraryDescriptor*>(core));
        image_.SetFormBlock(block_.data(), static_cast<Word>(block_.size()));
        if (absoluteRoutines) image_.SetCodeBase(0);
        app_ = std::make_unique<RuntimeApp>(&image_.header(), [] { return 0; }, &forms::WindowLayer());
        app_->InitRuntime();
    }
    void TearDown() override { app_.reset(); }

    TestImage image_;
    std::vector<std::uint8_t> block_;
    std::unique_ptr<RuntimeApp> app_;
};
// A form of its own block, not loaded yet.
using UnloadedForm = FormTest;

class ApplicationForm : public FormTest {
protected:
    void SetUp() override {
        const auto* block = FromWord<const std::uint8_t*>(image::Header().formBlock);
        Start({block, block + image::Header().formBlockSize}, false);
        RtLoadStartForm(kForm);
    }
};

TEST_F(ApplicationForm, ControlsAreCreatedInReverseStoredOrderWithTheirClassesAndStyles) {
    const std::pair<Word, const char*> rows[] = {
        {unit::kLabel1, "_KX_Label"}, {unit::kLabel2, "_KX_Label"}, {unit::kButton1, "Button"},
        {unit::kButton2, "Button"},   {unit::kButton3, "Button"},   {unit::kButton4, "Button"},
        {unit::kButton5, "Button"},   {unit::kLabel3, "_KX_Label"}, {unit::kTimer1, "_KX_Timer"},
        {unit::kButton6, "Button"},
    };
    HWND form = WindowOf(kForm, 0);
    EXPECT_EQ(ClassOf(form), "QZWindow");
    EXPECT_EQ(GetWindow(form, GW_OWNER), nullptr);  // a taskbar button: no owner
    // Ids 100, 110, ... in stored order; the last stored on top.
    std::vector<int> topFirst;
    for (const auto& [unitId, className] : rows) {
        const int id = 100 + 10 * static_cast<int>(topFirst.size());
        topFirst.insert(topFirst.begin(), id);
        HWND control = WindowOf(kForm, unitId);
        EXPECT_EQ(ClassOf(control), className) << id;
        EXPECT_EQ(GetDlgCtrlID(control), id);
        EXPECT_EQ(GetParent(control), form) << id;
        EXPECT_TRUE(IsWindowVisible(control)) << id;  // the timer is always shown
        if (className == std::string("Button")) {
            EXPECT_EQ(StyleOf(control) & (WS_TABSTOP | BS_CENTER | BS_VCENTER | BS_DEFPUSHBUTTON),
                      static_cast<DWORD>(WS_TABSTOP | BS_CENTER | BS_VCENTER)) << id;
            EXPECT_EQ(FontOf(control), GetStockObject(DEFAULT_GUI_FONT)) << id;
        }
    }
    std::vector<int> order;
    for (HWND child = GetWindow(form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        order.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(order, topFirst);
    // 标签1 in its 48-pixel heading font, 标签3 in the stock one.
    LOGFONTW font{};
    GetObjectW(FontOf(WindowOf(kForm, unit::kLabel1)), sizeof font, &font);
    EXPECT_EQ(font.lfHeight, -48);
    EXPECT_EQ(font.lfCharSet, GB2312_CHARSET);
    EXPECT_EQ(FontOf(WindowOf(kForm, unit::kLabel3)), GetStockObject(DEFAULT_GUI_FONT));
    // Loading again only brings the window forward.
    RtLoadStartForm(kForm);
    EXPECT_EQ(WindowOf(kForm, 0), form);
    EXPECT_EQ(ThreadWindowsOfClass(L"QZWindow"), 1);
}

TEST_F(ApplicationForm, PropertiesWrittenAreReadBackClampedAndReachTheWindows) {
    RECT outer;
    GetWindowRect(WindowOf(kForm, 0), &outer);
    // The form in screen coordinates, a control in its parent's client area.
    EXPECT_EQ(Read(0, 0), outer.left);
    EXPECT_EQ(Read(0, 2), 380);
    EXPECT_EQ(Read(unit::kButton6, 3), 32);
    struct Row { Word unit; std::int32_t property; std::int32_t written; std::int32_t stored; };
    const Row rows[] = {
        {unit::kButton6, 1, 100, 100}, {unit::kButton6, 6, 1, 1},
        {unit::kLabel2, 11, 2, 5},   {unit::kLabel2, 11, 9, 9},   {unit::kLabel2, 9, 7, 3},
        {unit::kLabel2, 9, -4, 0},   {unit::kLabel2, 20, 12, 8},  {unit::kLabel2, 26, 5, 2},
        {unit::kButton1, 9, 5, 1},   {unit::kButton1, 9, -3, 0},  {unit::kButton1, 11, 7, 2},
        {unit::kButton1, 12, -1, 0},
    };
    for (const Row& row : rows) {
        Write(row.unit, row.property, static_cast<Word>(row.written));
        EXPECT_EQ(Read(row.unit, row.property), row.stored) << row.property << " " << row.written;
    }
    EXPECT_EQ(Read(unit::kButton6, 0), 192);  // moved down only
    EXPECT_FALSE(IsWindowEnabled(WindowOf(kForm, unit::kButton6)));
    HWND button = WindowOf(kForm, unit::kButton1);
    Write(unit::kButton1, 9, 1);
    EXPECT_TRUE(StyleOf(button) & BS_DEFPUSHBUTTON);
    Write(unit::kButton1, 11, 0);
    EXPECT_EQ(StyleOf(button) & (BS_LEFT | BS_RIGHT), static_cast<DWORD>(BS_LEFT));

    const std::pair<Word, DWORD> effects[] = {
        {1, WS_EX_CLIENTEDGE}, {4, WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME}, {5, 0}, {3, WS_EX_STATICEDGE}, {0, 0},
    };
    HWND label = WindowOf(kForm, unit::kLabel2);
    for (const auto& [value, exStyle] : effects) {
        Write(unit::kLabel2, 10, value);
        EXPECT_EQ(StyleOf(label) & WS_BORDER, static_cast<DWORD>(value == 5 ? WS_BORDER : 0)) << value;
        EXPECT_EQ(ExStyleOf(label) & (WS_EX_CLIENTEDGE | WS_EX_DLGMODALFRAME | WS_EX_STATICEDGE), exStyle) << value;
    }
    // A text is shown as written, and read back whole.
    for (const char* text : {"当前时间：2026年12月5日14时", "当前时间：2026年12月5日14时", ""}) {
        Write(unit::kLabel2, 8, ToWord(text));
        EXPECT_EQ(ValueBytes(unit::kLabel2, 8, true), text);
        wchar_t shown[128] = {};
        GetWindowTextW(label, shown, 128);
        EXPECT_EQ(std::wstring(shown), WidenCp936(text));
    }
    // A byte value claiming more bytes than its heap block holds is taken only that far.
    auto* block = static_cast<Word*>(RtAlloc(8 + 60));
    block[0] = 1;
    block[1] = 0x7FFFFFFF;
    Write(unit::kLabel2, 15, ToWord(block));
    RtFree(block);
    const std::size_t taken = ValueBytes(unit::kLabel2, 15, false).size();
    EXPECT_TRUE(taken <= 60 && taken >= 60 - 8) << taken;  // the heap may round the block up
    Write(unit::kLabel2, 15, 0);  // no font: the stock one again
    EXPECT_EQ(FontOf(label), GetStockObject(DEFAULT_GUI_FONT));
}

TEST_F(ApplicationForm, AnElementIndexChangesOneFontAttributeAndNoOtherWordIsTakenForAnAddress) {
    const std::string heading = ValueBytes(unit::kLabel1, 15, false);
    ASSERT_EQ(heading.size(), 60u);
    RtWriteProperty(kForm, unit::kLabel1, 15, 0, 20, 0);               // height
    RtWriteProperty(kForm, unit::kLabel1, 15, 13, ToWord("宋体"), 0);  // face name
    RtWriteProperty(kForm, unit::kLabel1, 15, 14, 20, 0);              // no such attribute
    std::string expected = heading;
    expected.replace(0, 4, std::string("\x14\0\0\0", 4));
    expected.replace(28, 32, std::string("宋体") + std::string(28, '\0'));
    EXPECT_EQ(ValueBytes(unit::kLabel1, 15, false), expected);
    LOGFONTA shown{};
    GetObjectA(FontOf(WindowOf(kForm, unit::kLabel1)), sizeof shown, &shown);
    EXPECT_EQ(shown.lfHeight, 20);
    // Without a font of its own, the stock font is the one changed.
    RtWriteProperty(kForm, unit::kLabel2, 15, 4, 700, 0);  // weight
    const std::string bold = ValueBytes(unit::kLabel2, 15, false);
    ASSERT_EQ(bold.size(), 60u);
    EXPECT_EQ(bold.substr(16, 4), std::string("\xBC\x02\0\0", 4));

    // Any other value that is an address is written only whole.
    auto* bytes = NewByteArray({1, 2});
    const std::tuple<Word, std::int32_t, bool> rows[] = {{unit::kLabel3, 8, true}, {unit::kLabel3, 4, true},
                                                         {unit::kLabel3, 18, false}, {unit::kLabel3, 7, false},
                                                         {unit::kButton1, 8, false}};
    for (const auto& [unitId, property, text] : rows) {
        const std::string before = ValueBytes(unitId, property, text);
        RtWriteProperty(kForm, unitId, property, 0, text ? ToWord("改") : ToWord(bytes), 0);
        EXPECT_EQ(ValueBytes(unitId, property, text), before) << property;
    }
    RtFree(bytes);
}

// Rows of what `window` drew that hold a pixel of another colour than the form's background.
int InkRows(HWND window) {
    const testing::ScreenPixels capture = testing::DrawnPixels(window);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const std::uint32_t background = GetRValue(face) << 16 | GetGValue(face) << 8 | GetBValue(face);
    int rows = 0;
    for (int y = 0; y < capture.height; ++y) {
        int x = 0;
        while (x < capture.width && capture.At(x, y) == background) ++x;
        rows += x < capture.width;
    }
    return rows;
}

TEST_F(ApplicationForm, TheHeadingIsDrawnInItsLargeFontOnTheFormsBackground) {
    HWND form = WindowOf(kForm, 0);
    // Painted now, above other tests' windows, which would clip the painting, and read back
    // from the form's own drawing rather than the shared screen, which shows it only later.
    SetWindowPos(form, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(form, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const int heading = InkRows(WindowOf(kForm, unit::kLabel1));
    const int line = InkRows(WindowOf(kForm, unit::kLabel2));
    // A 48-pixel CJK face inks most of its height; the stock GUI font about a quarter of it.
    EXPECT_TRUE(heading >= 30 && heading <= 56) << heading;
    EXPECT_TRUE(line >= 6 && line <= 20) << line;
    EXPECT_EQ(InkRows(WindowOf(kForm, unit::kTimer1)), 0);  // the timer shows nothing
}

TEST_F(ApplicationForm, EachTypesSerialiserWritesTheBlockItWasMadeFrom) {
    const forms::FormTemplate& form = *app_->forms().Find(kForm);
    for (Word index = 0; index < form.table().count(); ++index) {
        const auto record = form.Walk(index);
        ASSERT_TRUE(record);
        const DataTypeRecord* type = forms::DataTypeOf(record->typeId);
        const Word serialise = forms::InterfaceEntry(type, forms::interface_code::kSerialise);
        ASSERT_NE(serialise, 0u) << index;
        EXPECT_EQ(forms::InterfaceEntry(type, 7), 0u);  // codes a type does not know answer nothing
        std::vector<std::uint8_t> bytes;
        FromWord<forms::SerialiseFn>(serialise)(FromWord<forms::UnitWindow*>(record->object), &bytes);
        EXPECT_EQ(bytes, std::vector<std::uint8_t>(record->propertyBlock.begin(), record->propertyBlock.end())) << index;
    }
}

// Routines of test blocks.
template <const char* kEntry>
void Logs(const Word*, Word, RoutineResult*) {
    g_log.push_back(kEntry);
}
constexpr char kEvent3[] = "3", kEvent4[] = "4", kFormFocus[] = "-7", kClose[] = "1", kDestroy[] = "2",
               kFocus[] = "focus", kBlur[] = "blur", kClick[] = "click";

void OnCreated(const Word*, Word, RoutineResult*) {
    // The controls exist and are shown, the form is not shown yet.
    const bool labelShown = StyleOf(WindowOf(kForm, kLabel)) & WS_VISIBLE;
    g_log.push_back(labelShown && !IsWindowVisible(WindowOf(kForm, 0)) ? "0 before shown" : "0 out of order");
}
void OnCloseQuery(const Word*, Word, RoutineResult* result) {
    g_log.push_back("12");
    // Taken once: the close this routine starts itself meets no answer.
    const CloseAnswer answer = std::exchange(g_closeAnswer, CloseAnswer::kNothing);
    if (answer == CloseAnswer::kCloseAgain) CloseForm();
    result->hasValue = answer == CloseAnswer::kZero || answer == CloseAnswer::kOne;
    result->low = answer == CloseAnswer::kOne;
}
void OnTick(const Word*, Word, RoutineResult*) {
    g_tickThread = GetCurrentThreadId();
    ++g_ticks;
}
void OnArguments(const Word* arguments, Word count, RoutineResult* result) {
    g_log.push_back(std::to_string(count) + ":" + std::to_string(arguments[0]) + "," + std::to_string(arguments[1]));
    result->hasValue = 1;
    result->low = arguments[0] + arguments[1];
}

forms::EventBinding Bind(std::int32_t event, ProgramRoutineFn routine) { return {event, ToWord(routine)}; }

TestUnit FormUnit(const char* title, std::vector<forms::EventBinding> bindings = {}) {
    forms::WindowBlock block;
    block.title = title;
    return {kOwnUnit, type_word::kWindowType, "", std::move(bindings), block.Write()};
}
TestUnit LabelUnit(Word id = kLabel, const char* text = "标签") {
    forms::LabelBlock block;
    block.text = text;
    return {id, type_word::kLabelType, "标签2", {}, block.Write()};
}

// The label's record keeps a stale object word: no load may take it for an object.
std::vector<std::uint8_t> TestFormBlock(std::int32_t labelVersion = 2) {
    TestUnit form = FormUnit("测试窗口", {Bind(0, OnCreated), Bind(3, Logs<kEvent3>), Bind(4, Logs<kEvent4>),
                                          Bind(-7, Logs<kFormFocus>), Bind(12, OnCloseQuery),
                                          Bind(1, Logs<kClose>), Bind(2, Logs<kDestroy>)});
    form.left = form.top = 10, form.width = 300, form.height = 200;
    TestUnit label = LabelUnit();
    label.bindings = {Bind(0, OnArguments)};
    label.propertyBlock[0] = static_cast<std::uint8_t>(labelVersion);
    label.object = 0xDEADBEE0;
    return FormBlockBytes({{kForm,
                            {form,
                             {kTimer, type_word::kTimerType, "时钟1", {Bind(0, OnTick)}, forms::TimerBlock().Write(), 0},
                             {kButton, type_word::kButtonType, "按钮1",
                              {Bind(0, Logs<kClick>), Bind(-7, Logs<kFocus>), Bind(-8, Logs<kBlur>)},
                              forms::ButtonBlock().Write(), forms::kUnitVisible | forms::kUnitTabStop},
                             label},
                            "测试"}});
}

// The test form, loaded.
class TestForm : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        Start(TestFormBlock());
        RtLoadStartForm(kForm);
    }
};

TEST_F(UnloadedForm, UnitsListedAfterTheFirstZeroOfTheFormsChildListStartHidden) {
    constexpr Word kShown = 0x16010011, kHidden = 0x16010012;
    TestUnit form = FormUnit("甲");
    form.children = {kShown, 0, kHidden};
    Start(FormBlockBytes({{kForm, {form, LabelUnit(kShown, "甲"), LabelUnit(kHidden, "乙")}, ""}}));
    RtLoadStartForm(kForm);
    EXPECT_TRUE(IsWindowVisible(WindowOf(kForm, kShown)));
    EXPECT_FALSE(IsWindowVisible(WindowOf(kForm, kHidden)));
}

bool g_formLoadedAtExit = false;
void ExitRoutineFindingItsForm() { g_formLoadedAtExit = forms::WindowLayer().UnitObject(kForm, kLabel) != 0; }

TEST_F(TestForm, LoadEventsRunAfterTheControlsBeforeTheFormIsShownAndExitRoutinesStillFindIt) {
    // Shown, the form has the focus: its own unit's event -7 follows.
    EXPECT_EQ(g_log, (std::vector<std::string>{"0 before shown", "3", "4", "-7"}));
    EXPECT_TRUE(IsWindowVisible(WindowOf(kForm, 0)));
    // The form's window is the owner of a window value.
    EXPECT_EQ(forms::WindowLayer().UnitWindowHandle(kForm, kOwnUnit), WindowOf(kForm, 0));
    EXPECT_EQ(forms::WindowLayer().UnitWindowHandle(0x52010002, kOwnUnit), nullptr);
    HWND form = WindowOf(kForm, 0);
    app_->AddExitRoutine(ToWord(&ExitRoutineFindingItsForm));
    app_->End(0);
    EXPECT_TRUE(g_formLoadedAtExit);
    EXPECT_FALSE(IsWindow(form));  // the forms go after the exit routines
}

TEST_F(TestForm, OnlyAReturnedZeroCancelsTheClose) {
    struct Row { CloseAnswer answer; std::vector<std::string> log; bool stillOpen; };
    const Row rows[] = {
        {CloseAnswer::kZero, {"12"}, true},
        {CloseAnswer::kNothing, {"12", "1", "2"}, false},
        {CloseAnswer::kOne, {"12", "1", "2"}, false},
        // The inner close ran 12, 1 and 2; the outer one ends with the window gone.
        {CloseAnswer::kCloseAgain, {"12", "12", "1", "2"}, false},
    };
    for (const Row& row : rows) {
        RtLoadStartForm(kForm);  // again, once the row before has closed it
        HWND form = WindowOf(kForm, 0);
        g_closeAnswer = row.answer;
        g_log.clear();
        SendMessageW(form, WM_CLOSE, 0, 0);
        EXPECT_EQ(IsWindow(form) != FALSE, row.stillOpen) << g_log.size();
        EXPECT_EQ(g_log, row.log);
        // Closed, the form is not loaded any more: its properties 8 and up cannot be reached.
        EXPECT_EQ(forms::WindowLayer().UnitObject(kForm, kLabel) != 0, row.stillOpen);
        EXPECT_EQ(forms::WindowLayer().AnyFormWindow(), row.stillOpen);
    }
}

TEST_F(TestForm, ServicesFourAndFiveReachOnlyLiveUnitObjects) {
    const Word stale = static_cast<Word>(RuntimeService(library_service::kUnitWindowObject, kForm, kLabel));
    ASSERT_NE(stale, 0u);
    EXPECT_EQ(RuntimeService(library_service::kUnitWindowObject, kForm, 0x16019999), 0);
    // Service 4: the 8-byte value lands at its fifth argument.
    std::uint64_t live = 0;
    RtService(5, type_word::kLabelType, 8, stale, static_cast<Word>(-1), ToWord("改"), 0);
    RtService(4, type_word::kLabelType, 8, stale, static_cast<Word>(-1), ToWord(&live), 0);
    EXPECT_STREQ(FromWord<char*>(static_cast<Word>(live)), "改");
    RtFree(FromWord<char*>(static_cast<Word>(live)));
    wchar_t shown[8] = {};  // the label's own window, not another unit's
    GetWindowTextW(WindowOf(kForm, kLabel), shown, 8);
    EXPECT_STREQ(shown, L"改");
    static Word neverAnObject[64] = {};
    CloseForm();  // the label's object goes with its window
    ASSERT_FALSE(forms::WindowLayer().AnyFormWindow());
    for (const Word object : {stale, ToWord(neverAnObject)}) {
        std::uint64_t value = 0xABCDEF;
        EXPECT_EQ(RtService(4, type_word::kLabelType, 8, object, static_cast<Word>(-1), ToWord(&value), 0), 0);
        EXPECT_EQ(value, 0u);
        RtService(5, type_word::kLabelType, 8, object, static_cast<Word>(-1), ToWord("改"), 0);
    }
}

// Four bytes of picture data that no picture loader reads.
const std::vector<std::uint8_t> kUnreadablePicture = {'B', 'M', 0, 0};

TEST_F(TestForm, AButtonPictureThatDecodesIsShownAndAWriteFromAnotherThreadRemakesTheButtonThere) {
    struct Row { std::vector<std::uint8_t> picture; DWORD style; UINT imageType; };
    const Row rows[] = {
        {BitmapFileBytes(), BS_BITMAP, IMAGE_BITMAP}, {IconFileBytes(1), BS_ICON, IMAGE_ICON},
        {kUnreadablePicture, 0, IMAGE_BITMAP}, {{}, 0, IMAGE_ICON},
    };
    const int id = GetDlgCtrlID(WindowOf(kForm, kButton));
    for (const Row& row : rows) {
        WriteBytes(kButton, 8, row.picture);
        HWND button = WindowOf(kForm, kButton);
        EXPECT_EQ(StyleOf(button) & (BS_BITMAP | BS_ICON), row.style) << row.picture.size();
        EXPECT_EQ(SendMessageW(button, BM_GETIMAGE, row.imageType, 0) != 0, row.style != 0) << row.picture.size();
        EXPECT_EQ(GetDlgCtrlID(button), id) << row.picture.size();
    }
    HWND old = WindowOf(kForm, kButton);
    auto* picture = NewByteArray(kUnreadablePicture);
    std::atomic<bool> written{false};
    std::thread writer([picture, &written] {
        Write(kButton, 8, ToWord(picture));
        written = true;
    });
    PumpUntil([&written] { return written.load(); }, 8000);
    writer.join();
    RtFree(picture);
    PumpUntil([] { return false; }, 100);  // what the writer's end takes down has gone
    HWND made = WindowOf(kForm, kButton);
    EXPECT_FALSE(IsWindow(old));
    EXPECT_EQ(GetWindowThreadProcessId(made, nullptr), GetCurrentThreadId());
    EXPECT_EQ(GetDlgCtrlID(made), id);
    EXPECT_EQ(ValueBytes(kButton, 8, false).size(), 4u);
    g_log.clear();
    SendMessageW(made, BM_CLICK, 0, 0);
    EXPECT_EQ(g_log.back(), "click");
    // A close waiting in the queue goes through before the button is made again: no button
    // is left behind.
    HWND form = WindowOf(kForm, 0);
    PostMessageW(form, WM_CLOSE, 0, 0);
    WriteBytes(kButton, 8, kUnreadablePicture);
    EXPECT_FALSE(IsWindow(form));
    EXPECT_FALSE(forms::WindowLayer().AnyFormWindow());
    EXPECT_EQ(ThreadWindowsOfClass(L"Button"), 0);
}

TEST_F(TestForm, TheFormShowsItsOwnIconElseTheProgramsIcon) {
    Word defaults[2] = {0, 0};
    RuntimeService(library_service::kLoadDefaultIcons, ToWord(defaults), 0);
    ASSERT_NE(defaults[1], 0u);  // this test program carries the program's icon too
    struct Row { std::vector<std::uint8_t> icon; bool own; };
    const Row rows[] = {{{}, false}, {IconFileBytes(1), true}, {BitmapFileBytes(), false}, {{1, 2, 3}, false}};
    HWND form = WindowOf(kForm, 0);
    for (const Row& row : rows) {
        if (!row.icon.empty()) WriteBytes(0, 20, row.icon);  // the first row is the icon the load set
        const auto small = static_cast<Word>(SendMessageW(form, WM_GETICON, ICON_SMALL, 0));
        const auto big = static_cast<Word>(SendMessageW(form, WM_GETICON, ICON_BIG, 0));
        EXPECT_NE(small, 0u) << row.icon.size();
        EXPECT_EQ(small == defaults[1] && big == defaults[0], !row.own) << row.icon.size();
    }
}

// The cursor a window shows over its client area, and its hot spot (none once destroyed).
HCURSOR CursorShownOver(HWND window) {
    SetCursor(nullptr);
    SendMessageW(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    return GetCursor();
}
using Hotspot = std::pair<DWORD, DWORD>;
std::optional<Hotspot> HotspotOf(HCURSOR cursor) {
    ICONINFO info;
    if (!cursor || !GetIconInfo(cursor, &info)) return std::nullopt;
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    return Hotspot{info.xHotspot, info.yHotspot};
}

TEST_F(UnloadedForm, UnitCursorsComeFromTheirPointerDataAndGoWithTheirWindows) {
    const HCURSOR arrow = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    const auto cross = HotspotOf(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_CROSS)));
    TestUnit form = FormUnit("指针");
    TestUnit button{kButton, type_word::kButtonType, "按钮1", {}, forms::ButtonBlock().Write()};
    TestUnit label = LabelUnit();
    form.mousePointer = {4, 0, 0, 0};              // the system's cross
    button.mousePointer = IconFileBytes(2, 3, 5);  // a cursor file
    label.mousePointer = {2, 0, 0, 0, 0, 0, 0};    // neither: the default pointer
    Start(FormBlockBytes({{kForm, {form, button, label}, ""}}));
    RtLoadStartForm(kForm);
    // The label shows the arrow, whose hot spot is its own.
    const std::pair<Word, std::optional<Hotspot>> rows[] = {{0, cross}, {kButton, Hotspot{3, 5}}, {kLabel, HotspotOf(arrow)}};
    for (const auto& [unitId, spot] : rows) {
        const HCURSOR shown = CursorShownOver(WindowOf(kForm, unitId));
        EXPECT_EQ(shown != arrow, unitId != kLabel) << unitId;
        EXPECT_EQ(HotspotOf(shown), spot) << unitId;
    }
    // A write replaces the cursor at once and destroys the old one; the last goes with the window.
    const HCURSOR old = CursorShownOver(WindowOf(kForm, kButton));
    WriteBytes(kButton, 7, IconFileBytes(2, 7, 9));
    const HCURSOR made = CursorShownOver(WindowOf(kForm, kButton));
    EXPECT_EQ(HotspotOf(made), Hotspot(7, 9));
    EXPECT_FALSE(HotspotOf(old));
    CloseForm();
    EXPECT_FALSE(HotspotOf(made));
}

// One class name, one kind of window: a form named after a control's class, or a control
// whose class a form has taken, would be run by the other kind's procedure.
TEST_F(UnloadedForm, AWindowClassNameTakenByAnotherWindowTypeFailsTheLoad) {
    const auto windowNamed = [](const char* className) {
        forms::WindowBlock block;
        block.className = className;
        return TestUnit{kOwnUnit, type_word::kWindowType, "", {}, block.Write()};
    };
    constexpr Word kTimerForm = kForm, kNamedTimer = 0x52010002, kNamedLabel = 0x52010003, kLabelForm = 0x52010004;
    Start(FormBlockBytes({
        {kTimerForm, {windowNamed(""), {kTimer, type_word::kTimerType, "时钟1", {}, forms::TimerBlock().Write(), 0}}, ""},
        {kNamedTimer, {windowNamed("_KX_Timer")}, ""},
        {kNamedLabel, {windowNamed("_KX_Label")}, ""},
        {kLabelForm, {windowNamed(""), LabelUnit()}, ""},
    }));
    const auto load = [this](Word formId) { return forms::LoadForm(*app_->forms().Find(formId), 1, false, nullptr); };
    // The timer's class exists once its form is up.
    ASSERT_TRUE(load(kTimerForm));
    EXPECT_FALSE(load(kNamedTimer));
    EXPECT_EQ(WindowOf(kNamedTimer, 0), nullptr);
    // Whichever of the two comes first takes the name: the other cannot be made.
    const bool namedLabel = load(kNamedLabel);
    const bool labelForm = load(kLabelForm);
    EXPECT_FALSE(namedLabel && labelForm);
    EXPECT_NE(WindowOf(kTimerForm, kTimer), nullptr);
}

// The frame follows the border style, the control box, the two boxes and the title, as
// stored and as written to a live form.
TEST_F(TestForm, ABorderStyleMakesTheFrameAndAWriteToALiveFormChangesIt) {
    struct Row { Word border, controlBox, minimize, maximize; const char* title; DWORD style, exStyle; };
    const Row rows[] = {
        {2, 1, 1, 0, "t", WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0},  // the application's
        {0, 1, 1, 0, "t", WS_MINIMIZEBOX, 0},                              // no border: no caption
        {1, 0, 0, 1, "t", WS_CAPTION | WS_THICKFRAME | WS_MAXIMIZEBOX, 0},
        {2, 0, 0, 0, "", WS_DLGFRAME, 0},                                  // no title, no box
        {3, 1, 0, 0, "", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, WS_EX_TOOLWINDOW},
        {4, 0, 0, 0, "t", WS_CAPTION, WS_EX_TOOLWINDOW},
        {5, 0, 0, 0, "t", WS_CAPTION | WS_THICKFRAME, WS_EX_CLIENTEDGE},
        {6, 0, 0, 0, "t", WS_CAPTION, WS_EX_CLIENTEDGE},
        {9, 0, 0, 0, "t", WS_CAPTION, WS_EX_CLIENTEDGE},                   // clamped to 6
    };
    for (const Row& row : rows) {
        forms::WindowBlock block;
        block.borderStyle = row.border;
        block.controlBox = row.controlBox;
        block.minimizeBox = row.minimize;
        block.maximizeBox = row.maximize;
        block.title = row.title;
        const forms::WindowStyles styles = forms::StylesOf(block);
        EXPECT_EQ(styles.style, row.style | WS_CLIPCHILDREN) << row.border;
        EXPECT_EQ(styles.exStyle, row.exStyle) << row.border;
    }
    // The test form has a title and a control box: a caption whenever it has a border.
    HWND form = WindowOf(kForm, 0);
    struct Written { Word value; Word stored; DWORD style; DWORD exStyle; };
    const Written writes[] = {
        {3, 3, WS_CAPTION | WS_THICKFRAME, WS_EX_TOOLWINDOW}, {0, 0, 0, 0},
        {9, 6, WS_CAPTION, WS_EX_CLIENTEDGE},                 {static_cast<Word>(-2), 0, 0, 0},
        {6, 6, WS_CAPTION, WS_EX_CLIENTEDGE},                 {1, 1, WS_CAPTION | WS_THICKFRAME, 0},
    };
    for (const Written& row : writes) {
        Write(0, 9, row.value);
        EXPECT_EQ(static_cast<Word>(Read(0, 9)), row.stored);
        EXPECT_EQ(StyleOf(form) & (WS_CAPTION | WS_THICKFRAME), row.style) << row.stored;
        EXPECT_EQ(ExStyleOf(form) & (WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE), row.exStyle) << row.stored;
    }
}

TEST_F(TestForm, ATimerWrittenFromAnotherThreadTicksOnTheWindowThreadKeepsItsPhaseAndStops) {
    auto* timer = FromWord<forms::Timer*>(forms::WindowLayer().UnitObject(kForm, kTimer));
    ASSERT_NE(timer, nullptr);
    EXPECT_FALSE(timer->running());  // stored interval 0: stopped
    // Written from another thread far more often than once a period: were the period restarted
    // on each write, no tick could ever come.
    std::atomic<bool> done{false};
    std::thread writer([&done] {
        while (!done) {
            Write(kTimer, 8, 1000);
            Sleep(100);
        }
    });
    PumpUntil([] { return g_ticks >= 2; }, 8000);
    done = true;
    writer.join();
    EXPECT_GE(g_ticks.load(), 2);
    EXPECT_EQ(g_tickThread.load(), GetCurrentThreadId());
    EXPECT_EQ(Read(kTimer, 8), 1000);
    // Any timer id ticks.
    const int before = g_ticks.load();
    SendMessageW(WindowOf(kForm, kTimer), WM_TIMER, 7, 0);
    EXPECT_EQ(g_ticks.load(), before + 1);
    std::thread([] { Write(kTimer, 8, static_cast<Word>(-5)); }).join();
    EXPECT_FALSE(timer->running());
    EXPECT_EQ(Read(kTimer, 8), 0);
    // Stopped: no platform timer 1000 is left on the window.
    EXPECT_FALSE(KillTimer(WindowOf(kForm, kTimer), forms::kTimerId));
}

TEST_F(TestForm, EventsReachTheirRoutinesWithTheirWordsAndGiveTheResultBack) {
    SetFocus(WindowOf(kForm, 0));
    g_log.clear();
    // A click gives the button the focus first: events -7, then 0.
    SendMessageW(WindowOf(kForm, kButton), BM_CLICK, 0, 0);
    EXPECT_EQ(g_log, (std::vector<std::string>{"focus", "click"}));
    SetFocus(WindowOf(kForm, 0));
    EXPECT_EQ(g_log.back(), "blur");
    // The label's event 0 carries the message's two parameters; the routine's value is the result.
    EXPECT_EQ(SendMessageW(WindowOf(kForm, kLabel), 0x8075, 20, 22), 42);
    EXPECT_EQ(g_log.back(), "2:20,22");
    // No events while they are suppressed.
    const std::size_t logged = g_log.size();
    app_->SuppressEvents();
    SendMessageW(WindowOf(kForm, kButton), BM_CLICK, 0, 0);
    app_->AllowEvents();
    EXPECT_EQ(g_log.size(), logged);

    // A byte passes its low 8 bits.
    TypedEventRecord record{kForm, kLabel, 0, 2, {{30, 0, type_word::kInteger, 0}, {0x1FF, 0, type_word::kByte, 0}}, 0, 0, 0};
    EXPECT_EQ(RuntimeService(library_service::kCallEventRoutineTyped, ToWord(&record), 0), 1);
    EXPECT_EQ(g_log.back(), "2:30,255");
    EXPECT_EQ(record.hasResult, 1u);
    EXPECT_EQ(record.resultLow, 285u);
    // Unbound events run nothing and leave the result words alone.
    EventRecord plain{kForm, kLabel, 5, 0, {}, 0, 0};
    EXPECT_EQ(RuntimeService(library_service::kCallEventRoutine, ToWord(&plain), 0), 0);
    EXPECT_EQ(plain.hasResult, 0u);
}

TEST_F(UnloadedForm, StoredPropertiesChangeWhileTheFormIsNotLoadedAndReachTheNextLoad) {
    Start(TestFormBlock());
    Write(kButton, 2, 77);
    Write(kButton, 4, ToWord("一个更长的标记"));
    Write(kButton, 6, 1);
    EXPECT_EQ(Read(kButton, 2), 77);
    EXPECT_EQ(ValueBytes(kButton, 4, true), "一个更长的标记");
    // The records behind the button's moved; the label behind it still reads whole, and its
    // stored object word is no object.
    EXPECT_EQ(Read(kLabel, 5), 1);
    EXPECT_EQ(forms::WindowLayer().UnitObject(kForm, kLabel), 0u);
    RtLoadStartForm(kForm);
    RECT rect;
    GetWindowRect(WindowOf(kForm, kButton), &rect);
    EXPECT_EQ(rect.right - rect.left, 77);
    EXPECT_FALSE(IsWindowEnabled(WindowOf(kForm, kButton)));
}

TEST_F(UnloadedForm, ALabelBlockOfAVersionTooHighFailsTheLoadAndLeavesNoWindow) {
    Start(TestFormBlock(3));
    EXPECT_FALSE(forms::WindowLayer().LoadStartForm(kForm));
    EXPECT_FALSE(forms::WindowLayer().AnyFormWindow());
    EXPECT_EQ(ThreadWindowsOfClass(L"QZWindow"), 0);
    EXPECT_TRUE(g_log.empty());  // no load events
    // A load that failed on the way must not leave the stored object word taken for an object.
    EXPECT_EQ(forms::WindowLayer().UnitObject(kForm, kLabel), 0u);
}

TEST_F(UnloadedForm, AModalFormDisablesTheOthersUntilItCloses) {
    constexpr Word kSecond = 0x52010002, kModal = 0x52010003;
    Start(FormBlockBytes(
        {{kForm, {FormUnit("甲")}, ""}, {kSecond, {FormUnit("乙")}, ""}, {kModal, {FormUnit("丙")}, ""}}));
    RtLoadStartForm(kForm);
    RtLoadStartForm(kSecond);
    EnableWindow(WindowOf(kSecond, 0), FALSE);  // disabled before: stays disabled
    ASSERT_TRUE(forms::LoadForm(*app_->forms().Find(kModal), 1, true, nullptr));
    EXPECT_FALSE(IsWindowEnabled(WindowOf(kForm, 0)));
    HWND modal = WindowOf(kModal, 0);
    EXPECT_TRUE(IsWindowEnabled(modal));
    CloseForm(kModal);
    EXPECT_FALSE(IsWindow(modal));
    EXPECT_TRUE(IsWindowEnabled(WindowOf(kForm, 0)));
    EXPECT_FALSE(IsWindowEnabled(WindowOf(kSecond, 0)));
}

}  // namespace
}  // namespace kx
