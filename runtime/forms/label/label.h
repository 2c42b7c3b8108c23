// The Label (标签): a self-painted text panel of class _KX_Label, drawn in its font on the
// form's background. Window thread; property set and get may come from any thread.
#pragma once

#include "property_blocks.h"
#include "unit_window.h"

namespace kx::forms {

inline constexpr char kLabelClass[] = "_KX_Label";
inline constexpr UINT kLabelEventMessage = 0x8075;

class Label final : public UnitWindow {
public:
    static UnitWindow* Create(const CreateArgs& args);
    static Word Interface(Word code);
    ~Label() override;

    bool SetOwnProperty(std::int32_t index, PropertyValue value) override;
    bool GetOwnProperty(std::int32_t index, ValueCell& out) override;
    std::vector<std::uint8_t> SerialiseBlock() const override { return block_.Write(); }
    const LabelBlock& block() const { return block_; }

private:
    Label(Word formId, Word unitId) : UnitWindow(formId, unitId) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    void ApplyBorderEffect();
    void ApplyFont();

    LabelBlock block_;
    HFONT font_ = nullptr;
    bool ownsFont_ = false;
};

}  // namespace kx::forms
