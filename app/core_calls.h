// The core commands the clock corrector uses, as program code calls them: argument cells in
// an array, one result cell, through the image's entry table. Texts that come back are new
// runtime-heap blocks that the caller frees with FreeText. Any thread.
#pragma once

#include <cstdint>

namespace clock_app {

// AddInterval's units.
enum class Interval : std::int32_t { kHour = 6, kMinute = 7, kSecond = 8 };

double Now();
std::int32_t SecondOf(double dateTime);
char* ToText(double dateTime);
double AddInterval(double dateTime, Interval unit, std::int32_t amount);
bool SetClock(double dateTime);
std::int32_t TextLength(const char* text);
// The 1-based position of `sought` in `text` at or after `start` (0: from the beginning), or −1.
std::int32_t FindText(const char* text, const char* sought, std::int32_t start, bool ignoreCase);

void FreeText(const char* text);
// The texts joined into one new block; null texts count as empty.
char* JoinTexts(const char* first, const char* second);

}  // namespace clock_app
