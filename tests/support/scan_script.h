#pragma once
// Pieces for scan tests: a reader that answers only on one port at one line definition, and
// the wire a sweep leaves for one port and definition.
#include "tests/support/fake_device.h"

#include <string>
#include <vector>

namespace tempik::testing {

// Answers the status query with status and the version query with version (empty: silence),
// but only on path opened with line; silence everywhere else.
inline Responder readerOn(const std::string& path, const std::string& line,
                          std::vector<uint8_t> status = statusReply(), std::vector<uint8_t> version = versionReply())
{
    return [=](const std::string& openPath, const std::string& openLine, const std::string& payload) {
        if (openPath != path || openLine != line)
            return std::vector<uint8_t>();
        if (payload == "0000AS")
            return status;
        if (payload == "0000AV")
            return version;
        return std::vector<uint8_t>();
    };
}

// open, the status queries, close: one port and definition of the sweep.
inline void appendTry(std::vector<std::string>& wire, int port, const std::string& line, int queries)
{
    wire.push_back("open COM" + std::to_string(port) + " " + line);
    for (int i = 0; i < queries; ++i)
        wire.push_back("send 0000AS");
    wire.push_back("close");
}

// open, the version query, close: the end of a scan whose version is read at once.
inline void appendVersionRead(std::vector<std::string>& wire, int port, const std::string& line)
{
    wire.push_back("open COM" + std::to_string(port) + " " + line);
    wire.push_back("send 0000AV");
    wire.push_back("close");
}

} // namespace tempik::testing
