// The network time: one HEAD request to a public web server, its Date: header read by the
// system's HTTP-date parser and moved from GMT to UTC+8. Never fails loudly: any failure
// gives the fallback value, 1 January 100 (shown with "100" in its text). Worker thread.
#pragma once

#include "kx/word.h"

namespace clock_app {

// Root of a plain-HTTP web site that answers HEAD with a Date: header.
inline constexpr char kDefaultTimeUrl[] = "http://www.baidu.com/";

// When urlGiven is false, *url first receives the default URL (its old text freed); the
// caller frees *url afterwards.
double FetchNetworkTime(kx::Word* url, bool urlGiven);

// An HTTP date in one of the three forms (ReadHttpDate, two-digit years judged by Now()) as a
// date-time eight hours later; the fallback value for any other text, and when the system's
// parser does not read back the date the program read.
double HttpDateToDateTime(kx::Word* dateText);

}  // namespace clock_app
