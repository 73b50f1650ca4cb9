// Conversions between UTF-8 and the 8-bit pages through WideCharToMultiByte and
// MultiByteToWideChar, one character at a time, giving the same bytes as glibc's iconv does on
// Linux: one "?" for each character the page cannot hold or the source does not define, never
// a best-fit look-alike, and the conversion always goes on to the end. Where Windows' tables
// hold more than glibc's (the user-defined areas, mapped to private-use characters), those
// characters count as undefined, so both builds send the same bytes.
#include "texts/code_page.h"

#include "texts/text_table.h"

#include <windows.h>

namespace tempik {

namespace {

UINT windowsCodePage(int uiLanguage)
{
    switch (uiLanguage) {
    case simplifiedChinese: return 936;
    case traditionalChinese: return 950;
    default: return 1252;
    }
}

// Windows gives the five holes of page 1252 the control characters of the same number; glibc
// has no character there, so neither have we.
bool isHoleOf1252(unsigned byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

constexpr unsigned char euroOf936 = 0x80;

// A private-use character of Windows' double-byte tables that glibc's have not: every one in
// GBK, and in Big5 all but the ETEN block at 0xC6A1, which both map to U+F6B1 to U+F848.
bool onlyInWindowsTable(const wchar_t* units, int count, UINT page)
{
    if (count != 1 || units[0] < 0xE000 || units[0] > 0xF8FF)
        return false;
    return page == 936 || (page == 950 && (units[0] < 0xF6B1 || units[0] > 0xF848));
}

// The page's bytes for one character, or "" when the page has none. In the double-byte pages a
// single byte above 0x7F is no character in glibc, but for the euro sign at 0x80 of 936.
std::string encodeCharacter(const wchar_t* units, int count, UINT page)
{
    if (onlyInWindowsTable(units, count, page))
        return {};
    char bytes[8];
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(page, WC_NO_BEST_FIT_CHARS, units, count, bytes, sizeof bytes, "?",
                                           &usedDefault);
    if (length <= 0 || usedDefault)
        return {};
    const auto first = static_cast<unsigned char>(bytes[0]);
    if (length == 1 && first >= 0x80 && (page == 1252 ? isHoleOf1252(first) : !(page == 936 && first == euroOf936)))
        return {};
    return std::string(bytes, static_cast<size_t>(length));
}

std::string utf8Of(const wchar_t* units, int count)
{
    char bytes[8];
    const int length = WideCharToMultiByte(CP_UTF8, 0, units, count, bytes, sizeof bytes, nullptr, nullptr);
    return length > 0 ? std::string(bytes, static_cast<size_t>(length)) : std::string("?");
}

size_t utf8SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

} // namespace

std::string toCodePage(const std::string& utf8, int uiLanguage)
{
    const UINT page = windowsCodePage(uiLanguage);
    const auto* p = reinterpret_cast<const unsigned char*>(utf8.data());
    const size_t size = utf8.size();
    std::string out;
    for (size_t i = 0; i < size;) {
        const size_t length = utf8SequenceLength(p[i]);
        size_t valid = 1;
        while (length > 1 && valid < length && i + valid < size && (p[i + valid] & 0xC0) == 0x80)
            ++valid;
        if (length == 0 || (valid < length && i + valid < size)) {
            out += '?';  // a byte that starts no character, or a character broken off early
            ++i;
            continue;
        }
        if (valid < length) {
            out += '?';  // one character cut off at the end
            break;
        }
        wchar_t units[2];
        const int count = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data() + i,
                                              static_cast<int>(length), units, 2);
        const std::string bytes = count > 0 ? encodeCharacter(units, count, page) : std::string();
        out += bytes.empty() ? std::string("?") : bytes;
        i += length;
    }
    return out;
}

std::string fromCodePage(const std::string& bytes, int uiLanguage)
{
    const UINT page = windowsCodePage(uiLanguage);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t size = bytes.size();
    std::string out;
    for (size_t i = 0; i < size;) {
        if (p[i] < 0x80) {
            out += static_cast<char>(p[i++]);
            continue;
        }
        if (page == 1252) {
            wchar_t unit = 0;
            const bool ok = !isHoleOf1252(p[i]) &&
                            MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data() + i, 1, &unit, 1) == 1;
            out += ok ? utf8Of(&unit, 1) : std::string("?");
            ++i;
            continue;
        }
        if (page == 936 && p[i] == euroOf936) {
            out += "\xe2\x82\xac";
            ++i;
            continue;
        }
        const bool lead = p[i] >= 0x81 && p[i] <= 0xFE;
        if (lead && i + 1 >= size) {
            out += '?';  // a lead byte with nothing after it
            break;
        }
        const bool pair = lead && p[i + 1] >= 0x40 && p[i + 1] <= 0xFE;
        wchar_t units[2];
        const int count = pair ? MultiByteToWideChar(page, MB_ERR_INVALID_CHARS, bytes.data() + i, 2, units, 2) : 0;
        out += count > 0 && !onlyInWindowsTable(units, count, page) ? utf8Of(units, count) : std::string("?");
        i += pair ? 2 : 1;
    }
    return out;
}

} // namespace tempik
