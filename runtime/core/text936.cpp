#include "text936.h"

#include <windows.h>

namespace kx {

namespace {
constexpr UINT kCodePage936 = 936;
}

std::wstring WidenCp936(std::string_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(kCodePage936, 0, text.data(), length, nullptr, 0);
    std::wstring wide(static_cast<size_t>(needed > 0 ? needed : 0), L'\0');
    if (needed > 0) MultiByteToWideChar(kCodePage936, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string NarrowToCp936(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int needed =
        WideCharToMultiByte(kCodePage936, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<size_t>(needed > 0 ? needed : 0), '\0');
    if (needed > 0) {
        WideCharToMultiByte(kCodePage936, 0, text.data(), length, narrow.data(), needed, nullptr,
                            nullptr);
    }
    return narrow;
}

}  // namespace kx
