// The Button (按钮): the system's push button, subclassed so that its clicks (reflected by
// the form) and focus changes raise events. Window thread; property set and get may come
// from any thread.
#pragma once

#include "picture.h"
#include "property_blocks.h"
#include "unit_window.h"

namespace kx::forms {

// Styles of a button block, before the create call's extra bits.
DWORD ButtonStylesOf(const ButtonBlock& block);

class Button final : public UnitWindow {
public:
    static UnitWindow* Create(const CreateArgs& args);
    static Word Interface(Word code);
    ~Button() override;

    bool SetOwnProperty(std::int32_t index, PropertyValue value) override;
    bool GetOwnProperty(std::int32_t index, ValueCell& out) override;
    std::vector<std::uint8_t> SerialiseBlock() const override { return block_.Write(); }
    void OnReflectedCommand(WORD code) override;
    void Recreate() override;
    const ButtonBlock& block() const { return block_; }

private:
    Button(Word formId, Word unitId) : UnitWindow(formId, unitId) {}
    bool MakeWindow(DWORD extraStyle, HWND parent, Word controlId, const RECT& rect);
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ApplyFont();
    void ApplyStyles();

    ButtonBlock block_;
    Picture picture_;  // the decoded picture shown, made with each window
    WNDPROC systemProcedure_ = nullptr;
    HFONT font_ = nullptr;
    bool ownsFont_ = false;
    DWORD extraStyle_ = 0;
    bool recreating_ = false;
};

}  // namespace kx::forms
