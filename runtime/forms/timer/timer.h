// The Timer (时钟): a small invisible child window of class _KX_Timer that owns platform
// timer 1000 and raises event 0 on every tick. Its interval may be written from any thread:
// SetTimer and KillTimer accept a window of another thread, whose own thread then gets the
// ticks.
#pragma once

#include <atomic>

#include "property_blocks.h"
#include "unit_window.h"

namespace kx::forms {

inline constexpr char kTimerClass[] = "_KX_Timer";
inline constexpr UINT_PTR kTimerId = 1000;

class Timer final : public UnitWindow {
public:
    static UnitWindow* Create(const CreateArgs& args);
    static Word Interface(Word code);

    bool SetOwnProperty(std::int32_t index, PropertyValue value) override;
    bool GetOwnProperty(std::int32_t index, ValueCell& out) override;
    std::vector<std::uint8_t> SerialiseBlock() const override;
    bool running() const { return running_.load(); }

private:
    Timer(Word formId, Word unitId, Word designMode) : UnitWindow(formId, unitId), designMode_(designMode) {}
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::atomic<Word> interval_{0};
    Word designMode_;
    std::atomic<bool> running_{false};
};

}  // namespace kx::forms
