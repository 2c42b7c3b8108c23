// Code page 936 texts at the platform boundary: every text of the system is GBK bytes, and
// is converted explicitly before it reaches a wide-character system call, so the interface
// is right on any Windows locale. Any thread.
#pragma once

#include <string>
#include <string_view>

namespace kx {

std::wstring WidenCp936(std::string_view text);
std::string NarrowToCp936(std::wstring_view text);

}  // namespace kx
