#pragma once
// The 8-bit code page of the texts an operator types for the reader, chosen by the window
// language: Windows-1252 (English), GBK (Simplified Chinese), Big5 (Traditional Chinese).
// A character the page cannot hold becomes "?".
#include <cstddef>
#include <string>

namespace tempik {

const char* codePageName(int uiLanguage);    // iconv name

std::string toCodePage(const std::string& utf8, int uiLanguage);
std::string fromCodePage(const std::string& bytes, int uiLanguage);
// Bytes the text takes in the page; the edit boxes count their limits with it.
size_t codePageLength(const std::string& utf8, int uiLanguage);

// Converts between GB2312/Big5/ASCII and UTF-8 by name; used for the text table.
std::string convertText(const std::string& bytes, const char* from, const char* to);

} // namespace tempik
