// Whether a text reads as an HTTP date of the RFC 1123 or RFC 850 form: weekday, day, month
// name, year and a time of day h:mm:ss, in that order (what follows is not looked at). The
// system's parser fills in the current time before it reads and keeps it for whatever it
// misses, so a text it cannot read in full would come back as "now" or part of it; only a
// text of this shape goes to it. Pure logic; any thread.
#pragma once

#include <string_view>

namespace clock_app {

bool LooksLikeHttpDate(std::string_view text);

}  // namespace clock_app
