// Whether a text reads as an HTTP date (RFC 1123, RFC 850 or asctime form): a month name,
// a time of day h:mm:ss, and two numbers for day and year. The system's parser fills in the
// current time before it reads, so a text it cannot read would come back as "now"; only a
// text of this shape goes to it. Pure logic; any thread.
#pragma once

#include <string_view>

namespace clock_app {

bool LooksLikeHttpDate(std::string_view text);

}  // namespace clock_app
