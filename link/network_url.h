#pragma once
// Network ports by URL: "rfc2217://host:port" (Telnet with the COM-PORT-OPTION) and
// "socket://host:port" (the raw byte stream), optionally "?reply-ms=N" for a reply wait longer
// than the link's own. A ports/COM<n> file whose first line is such a URL names one.
#include <cstdint>
#include <optional>
#include <string>

namespace tempik {

struct NetworkAddress {
    bool rfc2217 = true;                  // false: raw socket://
    std::string host;                     // name or address, IPv6 without its brackets
    uint16_t port = 0;
    std::optional<uint32_t> replyWaitMs;  // from ?reply-ms=
};

constexpr uint32_t longestReplyWaitMs = 10000;

// The text starts like a network URL (it is not a device path), whether or not it is valid.
bool isNetworkUrl(const std::string& text);

// A raw socket:// port: its server's line stays as the server sets it, whatever the reader does.
bool isRawNetworkUrl(const std::string& text);

// nullopt when the URL is not valid: no host, a port outside 1..65535, an unknown query, or a
// reply wait shorter than the link's 120 ms or longer than longestReplyWaitMs.
std::optional<NetworkAddress> parseNetworkUrl(const std::string& text);

// The first line of the file at path, when it is a network URL (spaces around it ignored).
std::optional<std::string> networkUrlInFile(const std::string& path);

} // namespace tempik
