#pragma once
// UTF-8 <-> UTF-16 for the Windows interfaces that take wide strings. Windows files only.
#include <string>

namespace tempik {

// Bytes that are not UTF-8 become U+FFFD.
std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& wide);

} // namespace tempik
