// The window data type (窗口): the top-level window of a loaded form, of class QZWindow (or
// its property 31), with the styles its border style and frame properties ask for. Main
// thread; property set and get may come from any thread.
#pragma once

#include <windows.h>

#include <utility>
#include <vector>

#include "picture.h"
#include "property_blocks.h"
#include "unit_window.h"

namespace kx::forms {

// Styles of a window block, before the create call's extra bits.
struct WindowStyles {
    DWORD style;
    DWORD exStyle;
};
WindowStyles StylesOf(const WindowBlock& block);
// The caption, system menu, maximise and minimise bits (mask 0xCB0000) of a block.
DWORD FrameStylesOf(const WindowBlock& block);

inline constexpr char kFormWindowClass[] = "QZWindow";
// Private messages of loading.
inline constexpr UINT kUnitsCreatedMessage = 0x806F;
inline constexpr UINT kFormLoadedMessage = 0x8004;
inline constexpr UINT kLoadFinishedMessage = 0x8076;

class FormWindow final : public UnitWindow {
public:
    static UnitWindow* Create(const CreateArgs& args);
    static Word Interface(Word code);

    bool SetOwnProperty(std::int32_t index, PropertyValue value) override;
    bool GetOwnProperty(std::int32_t index, ValueCell& out) override;
    std::vector<std::uint8_t> SerialiseBlock() const override { return block_.Write(); }

    const WindowBlock& block() const { return block_; }
    void SetLoadFinished() { loadFinished_ = true; }
    Word loader() const { return loader_; }
    void SetLoader(Word loader) { loader_ = loader; }
    // While a failed load takes the window down, it raises no events.
    void SetQuiet() { quiet_ = true; }
    // A modal form disables the other top-level form windows and gives them back their
    // state when it closes.
    void DisableOthers(const std::vector<HWND>& others);

private:
    FormWindow(Word formId, Word unitId) : UnitWindow(formId, unitId) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    // Raises a close event; false when the close is cancelled or the routine already took
    // the window down (this object is then gone: nothing more may touch it).
    bool CloseAllowed(std::int32_t eventIndex);
    void UpdateFrame();
    // The icon of property 20, or the program's default icons (library service 1000).
    void ApplyIcon();
    // The styles of the border style (property 9), with the frame styles that follow it.
    void UpdateBorder();
    void ApplyStartPosition();
    void RaiseOtherTopmostForms();
    COLORREF Background() const;

    WindowBlock block_;
    Picture icon_;  // the decoded icon of property 20 while the window shows it
    Word loader_ = 0;
    bool unitsCreated_ = false;
    bool loadFinished_ = false;
    bool quiet_ = false;
    std::vector<std::pair<HWND, bool>> disabled_;  // window, was enabled
};

}  // namespace kx::forms
