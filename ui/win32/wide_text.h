#pragma once
// UTF-8, the texts of the form and the reader, to and from UTF-16, the texts of the W APIs.
#include <string>

namespace tempik {

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

} // namespace tempik
