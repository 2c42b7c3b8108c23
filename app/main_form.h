// The main form's units that program code writes, and the property writes it makes. A write
// may come from any thread.
#pragma once

#include <cstdint>

#include "kx/word.h"

namespace clock_app {

inline constexpr kx::Word kMainFormId = 0x52010001;
inline constexpr kx::Word kWindowUnit = 0x06010000;
inline constexpr kx::Word kTimerUnit = 0x16010004;         // 时钟1
inline constexpr kx::Word kLocalTimeLabel = 0x16010003;    // 标签2
inline constexpr kx::Word kNetworkTimeLabel = 0x16012ABA;  // 标签3

// Property 8: a Label's text, a Timer's interval in milliseconds.
void WriteLabelText(kx::Word label, const char* text);
void WriteTimerInterval(std::int32_t milliseconds);

}  // namespace clock_app
