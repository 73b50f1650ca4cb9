#include "app/ctl/ctl_report.h"

#include "link/frame.h"

#include <algorithm>
#include <cstdio>

namespace tempik::ctl {

std::string traceLine(double milliseconds, ReaderLink::Direction direction, const std::vector<uint8_t>& bytes)
{
    char head[48];
    std::snprintf(head, sizeof head, "[%9.3f ms] %c", milliseconds, direction == ReaderLink::Direction::sent ? '>' : '<');
    std::string hex, printable;
    for (uint8_t b : bytes) {
        hex += ' ' + hexPair(b);
        printable += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
    }
    return std::string(head) + hex + "  |" + printable + "|";
}

namespace {

// The length of the valid UTF-8 sequence at text[at] (shortest form, no surrogates, at most
// U+10FFFF), or 0 when the byte there starts none.
size_t utf8Length(const std::string& text, size_t at)
{
    const auto byte = [&](size_t i) { return at + i < text.size() ? static_cast<uint8_t>(text[at + i]) : 0; };
    const uint8_t lead = byte(0);
    size_t length;
    uint8_t low = 0x80, high = 0xBF;   // the range of the second byte
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else
        return 0;
    if (byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

std::string escaped(const char* format, unsigned char c)
{
    char text[8];
    std::snprintf(text, sizeof text, format, c);
    return text;
}

} // namespace

std::string terminalText(const std::string& utf8)
{
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        const size_t length = utf8Length(utf8, at);
        const size_t step = std::max<size_t>(length, 1);
        const auto c = static_cast<unsigned char>(utf8[at]);
        // The C1 controls U+0080 to U+009F are C2 80 to C2 9F.
        const bool control = c < 0x20 || c == 0x7F || (c == 0xC2 && length == 2 && uint8_t(utf8[at + 1]) < 0xA0);
        for (size_t i = 0; i < step; ++i)
            out += length == 0 || control ? escaped("\\x%02x", uint8_t(utf8[at + i])) : std::string(1, utf8[at + i]);
        at += step;
    }
    return out;
}

// A stand-in is the character U+10FF00 plus the byte, of the private-use plane 16: four bytes
// F4 8F BC-BF 80-BF, which the dump writes as they stand.
constexpr uint32_t standInBase = 0x10FF00;

std::string jsonText(const std::string& bytes)
{
    std::string out;
    for (size_t at = 0; at < bytes.size();) {
        const size_t length = utf8Length(bytes, at);
        const auto c = static_cast<uint8_t>(bytes[at]);
        if (length > 1 || (length == 1 && c != 0x7F && (c >= 0x20 || c == '\n' || c == '\t'))) {
            out.append(bytes, at, length);
            at += length;
            continue;
        }
        const uint32_t standIn = standInBase + c;
        out += static_cast<char>(0xF0 | (standIn >> 18));
        out += static_cast<char>(0x80 | ((standIn >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((standIn >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (standIn & 0x3F));
        ++at;
    }
    return out;
}

std::string dumpJson(const Report& value)
{
    const std::string dumped = value.dump();
    std::string out;
    for (size_t at = 0; at < dumped.size(); ++at) {
        const auto byte = [&](size_t i) { return static_cast<uint8_t>(at + i < dumped.size() ? dumped[at + i] : 0); };
        if (byte(0) == 0xF4 && byte(1) == 0x8F && byte(2) >= 0xBC) {
            out += escaped("\\u%04x", static_cast<unsigned char>(((byte(2) & 0x03) << 6) | (byte(3) & 0x3F)));
            at += 3;
        } else {
            out += dumped[at];
        }
    }
    return out;
}

std::string panelValue(const std::string& panelText)
{
    const size_t at = panelText.rfind(" : ");
    return at == std::string::npos ? panelText : panelText.substr(at + 3);
}

} // namespace tempik::ctl
