#include "app/ctl/ctl_report.h"

#include "link/frame.h"

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

std::string jsonString(const std::string& utf8)
{
    std::string out = "\"";
    for (unsigned char c : utf8) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20 || c == 0x7F) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

std::string jsonObject(const std::vector<std::pair<std::string, std::string>>& members)
{
    std::string out = "{";
    for (const auto& [name, value] : members)
        out += (out.size() > 1 ? "," : "") + jsonString(name) + ":" + value;
    return out + "}";
}

std::string panelValue(const std::string& panelText)
{
    const size_t at = panelText.rfind(" : ");
    return at == std::string::npos ? panelText : panelText.substr(at + 3);
}

} // namespace tempik::ctl
