#include "link/network_url.h"

#include "link/reader_link.h"

#include <algorithm>
#include <cctype>
#include <fstream>

namespace tempik {

namespace {

constexpr const char* rfc2217Scheme = "rfc2217://";
constexpr const char* socketScheme = "socket://";

bool startsWith(const std::string& text, const char* prefix)
{
    return text.rfind(prefix, 0) == 0;
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
    return startsWith(text, rfc2217Scheme) || startsWith(text, socketScheme);
}

std::optional<NetworkAddress> parseNetworkUrl(const std::string& text)
{
    if (!isNetworkUrl(text))
        return std::nullopt;
    NetworkAddress address;
    address.rfc2217 = startsWith(text, rfc2217Scheme);
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
    line = trimmed(line);
    if (!isNetworkUrl(line))
        return std::nullopt;
    return line;
}

} // namespace tempik
