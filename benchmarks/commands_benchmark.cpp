// How fast the core commands are that run once a second or scan whole responses:
// FindText and FindTextBackwards on 1 MiB of mixed ASCII and two-byte text against a plain
// byte scan of the same text, and one ToText of a date-time and one AddInterval per call.
#include <cstdio>
#include <cstring>
#include <string>

#include "core_commands.h"
#include "memory.h"
#include "stopwatch.h"

namespace {

using kx::ValueCell;
using kx::bench::SteadySeconds;

// 1 MiB of mixed text with the sought text only at one end, so that every scan reads it all.
std::string MixedText(const std::string& sought, bool soughtFirst) {
    const std::string chunk = "Date: Sat, 05 Dec 2026 06:05:03 GMT 北京时间：2026年12月5日14时5分3秒 ";
    std::string text;
    while (text.size() + chunk.size() + sought.size() <= 1 << 20) text += chunk;
    text.append((1 << 20) - sought.size() - text.size(), 'x');
    return soughtFirst ? sought + text : text + sought;
}

// The baselines: bytes only, no stepping over two-byte characters and no case folding.
std::size_t PlainFind(const std::string& text, const std::string& sought) {
    const char* p = text.data();
    const char* const last = text.data() + text.size() - sought.size();
    while (p <= last) {
        p = static_cast<const char*>(std::memchr(p, sought[0], static_cast<std::size_t>(last - p) + 1));
        if (!p) return std::string::npos;
        if (std::memcmp(p + 1, sought.data() + 1, sought.size() - 1) == 0) return static_cast<std::size_t>(p - text.data());
        ++p;
    }
    return std::string::npos;
}

std::size_t PlainFindBackwards(const std::string& text, const std::string& sought) {
    for (std::size_t pos = text.size() - sought.size() + 1; pos-- > 0;) {
        if (text[pos] == sought[0] && std::memcmp(text.data() + pos + 1, sought.data() + 1, sought.size() - 1) == 0) {
            return pos;
        }
    }
    return std::string::npos;
}

template <typename Body>
double Seconds(int rounds, Body&& body) {
    const double start = SteadySeconds();
    for (int i = 0; i < rounds; ++i) body();
    return SteadySeconds() - start;
}

void FindTextThroughput(const char* label, const std::string& sought, bool backwards) {
    const std::string text = MixedText(sought, backwards);
    constexpr int kRounds = 200;
    const double mebibytes = kRounds * (static_cast<double>(text.size()) / 1048576.0);
    const std::size_t expected = backwards ? 0 : text.size() - sought.size();

    std::size_t plainFound = 0;
    const double plain = Seconds(kRounds, [&] {
        plainFound = backwards ? PlainFindBackwards(text, sought) : PlainFind(text, sought);
    });
    std::printf("%s, %s: plain scan %.0f MiB/s%s\n", backwards ? "FindTextBackwards" : "FindText",
                label, mebibytes / plain, plainFound == expected ? "" : " (wrong position!)");
    for (const bool ignoreCase : {false, true}) {
        ValueCell args[] = {ValueCell::Text(text.c_str()), ValueCell::Text(sought.c_str()),
                            ValueCell::Omitted(), ValueCell::Logical(ignoreCase)};
        ValueCell result;
        const double command = Seconds(kRounds, [&] {
            if (backwards) kx::commands::FindTextBackwards(&result, 4, args);
            else kx::commands::FindText(&result, 4, args);
        });
        const bool right = result.AsInt32() == static_cast<std::int32_t>(expected + 1);
        std::printf("    %s: %.0f MiB/s, %.2f of the plain scan's speed%s\n",
                    ignoreCase ? "ignoring case" : "case-sensitive", mebibytes / command, plain / command,
                    right ? "" : " (wrong position!)");
    }
}

template <typename Body>
double NanosecondsPerCall(int calls, Body&& body) {
    const double start = SteadySeconds();
    for (int i = 0; i < calls; ++i) body(i);
    return (SteadySeconds() - start) * 1e9 / calls;
}

}  // namespace

int main() {
    for (const bool backwards : {false, true}) {
        FindTextThroughput("ASCII sought text", "Content-Length:", backwards);
        FindTextThroughput("two-byte sought text", "校时完成", backwards);
    }

    ValueCell result;
    ValueCell date = ValueCell::DateTime(46361 + 50703.0 / 86400);  // 5 December 2026, 14:05:03
    const double toText = NanosecondsPerCall(1000000, [&](int) {
        kx::commands::ToText(&result, 1, &date);
        kx::RtFree(result.AsAddress<char*>());
    });
    // Baseline: formatting the same text from known parts into a heap block of its own.
    volatile int sink = 0;
    const double formatted = NanosecondsPerCall(1000000, [&](int i) {
        char text[64];
        const int length = std::snprintf(text, sizeof text, "%d年%d月%d日%d时%d分%d秒", 2026, 12, 5, 14,
                                         5, 3 + (i & 1));
        void* copy = kx::RtAlloc(static_cast<std::uint32_t>(length + 1));
        std::memcpy(copy, text, static_cast<std::size_t>(length) + 1);
        kx::RtFree(copy);
        sink = sink + length;
    });
    std::printf("ToText of a date-time, result freed: %.0f ns per call; snprintf of the same text "
                "into a heap block: %.0f ns; ratio %.2f\n",
                toText, formatted, toText / formatted);

    ValueCell add[] = {date, ValueCell::Integer(8), ValueCell::Integer(1)};
    const double addInterval = NanosecondsPerCall(10000000, [&](int) {
        kx::commands::AddInterval(&result, 3, add);
        add[0] = result;
    });
    // Baseline: adding one second's share of a day as a plain double.
    volatile double plain = date.AsDouble();
    const double plainAdd = NanosecondsPerCall(10000000, [&](int) { plain = plain + 1.0 / 86400; });
    std::printf("AddInterval of one second: %.1f ns per call (ended at %.6f); a plain double "
                "addition: %.1f ns; ratio %.1f\n",
                addInterval, add[0].AsDouble(), plainAdd, addInterval / plainAdd);
    return 0;
}
