// A local time as "YYYY-MM-DD hh:mm:ss", for comparing what the clock was asked to become.
#pragma once

#include <cstdio>
#include <string>

#include "clock.h"

namespace clock_app {

inline std::string Text(const kx::commands::LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

}  // namespace clock_app
