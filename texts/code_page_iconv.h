#pragma once
// Conversion by glibc iconv names, beneath toCodePage and fromCodePage on POSIX.
#include <string>

namespace tempik {

// Converts bytes between two iconv encodings; "" when either is unknown.
std::string convertText(const std::string& bytes, const char* from, const char* to);

} // namespace tempik
