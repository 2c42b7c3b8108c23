// Calendar parts as one comparable text, for calendar tests. Pure.
#pragma once

#include <cstdio>
#include <string>

#include "datetime/calendar.h"

namespace kx::datetime {

inline std::string Describe(const DateParts& p) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d w%d y%d", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, p.dayOfWeek, p.dayOfYear);
    return text;
}

}  // namespace kx::datetime
