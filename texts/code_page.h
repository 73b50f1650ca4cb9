#pragma once
// The 8-bit code page of the texts an operator types for the reader, chosen by the window
// language: Windows-1252 (English), GBK (Simplified Chinese), Big5 (Traditional Chinese).
// A character the page cannot hold becomes "?". The conversions are the platform's
// (code_page_iconv.cpp); the rest is here.
#include <cstddef>
#include <string>

namespace tempik {

// "CP1252", "GBK", "BIG5": the page's name for messages.
const char* codePageName(int uiLanguage);

std::string toCodePage(const std::string& utf8, int uiLanguage);
std::string fromCodePage(const std::string& bytes, int uiLanguage);
// Bytes the text takes in the page; the edit boxes count their limits with it.
size_t codePageLength(const std::string& utf8, int uiLanguage);
// Whether the page holds every character of the text, so none of them would be sent as "?".
bool codePageHolds(const std::string& utf8, int uiLanguage);

} // namespace tempik
