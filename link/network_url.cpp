#include "link/network_url.h"

#include "link/reader_link.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string_view>

namespace tempik {

namespace {

constexpr const char* rfc2217Scheme = "rfc2217://";
constexpr const char* socketScheme = "socket://";

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
}

// Schemes are case-insensitive: "RFC2217://" names the same port.
bool startsWithScheme(const std::string& text, const char* scheme)
{
    const std::string_view wanted(scheme);
    return text.size() >= wanted.size() &&
           std::equal(wanted.begin(), wanted.end(), text.begin(), [](char a, char b) {
               return a == std::tolower(static_cast<unsigned char>(b));
           });
}

std::optional<unsigned long> decimal(const std::string& digits, unsigned long highest)
{
    if (digits.empty() || digits.size() > 6 ||
        !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return std::nullopt;
    const unsigned long value = std::stoul(digits);
    if (value > highest)
        return std::nullopt;
    return value;
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

bool isNetworkUrl(const std::string& text)
{
    return startsWithScheme(text, rfc2217Scheme) || startsWithScheme(text, socketScheme);
}

bool isRawNetworkUrl(const std::string& text)
{
    return startsWithScheme(text, socketScheme);
}

std::optional<NetworkAddress> parseNetworkUrl(const std::string& text)
{
    if (!isNetworkUrl(text))
        return std::nullopt;
    NetworkAddress address;
    address.rfc2217 = startsWithScheme(text, rfc2217Scheme);
    std::string rest = text.substr(std::string(address.rfc2217 ? rfc2217Scheme : socketScheme).size());

    if (const size_t query = rest.find('?'); query != std::string::npos) {
        const std::string option = rest.substr(query + 1);
        rest.erase(query);
        const std::string name = "reply-ms=";
        if (!startsWith(option, name.c_str()))
            return std::nullopt;
        const auto ms = decimal(option.substr(name.size()), longestReplyWaitMs);
        if (!ms || *ms < ReaderLink::replyDeadlineMs)
            return std::nullopt;
        address.replyWaitMs = static_cast<uint32_t>(*ms);
    }

    size_t colon = rest.rfind(':');
    if (!rest.empty() && rest.front() == '[') {
        const size_t close = rest.find(']');
        if (close == std::string::npos || close + 1 != colon)
            return std::nullopt;
        address.host = rest.substr(1, close - 1);
    } else {
        if (colon == std::string::npos || rest.find(':') != colon)
            return std::nullopt;
        address.host = rest.substr(0, colon);
    }
    if (address.host.empty() || address.host.find_first_of(" /@") != std::string::npos)
        return std::nullopt;
    const auto port = decimal(rest.substr(colon + 1), 65535);
    if (!port || *port == 0)
        return std::nullopt;
    address.port = static_cast<uint16_t>(*port);
    return address;
}

std::optional<std::string> networkUrlInFile(const std::string& path)
{
    // Only the first line is read, and no more of it than a URL can take: the file may be
    // anything a user put there.
    constexpr size_t longestLine = 1024;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    char c = 0;
    while (line.size() <= longestLine && in.get(c) && c != '\n')
        line += c;
    if (line.size() > longestLine)
        return std::nullopt;
    // A byte-order mark is what some editors put first in a UTF-8 file.
    const std::string byteOrderMark = "\xEF\xBB\xBF";
    if (startsWith(line, byteOrderMark.c_str()))
        line.erase(0, byteOrderMark.size());
    line = trimmed(line);
    if (!isNetworkUrl(line))
        return std::nullopt;
    // The scheme in lower case, so that whoever reads the URL again sees it as written here.
    const size_t schemeEnd = line.find("://");
    std::transform(line.begin(), line.begin() + static_cast<long>(schemeEnd), line.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return line;
}

} // namespace tempik
