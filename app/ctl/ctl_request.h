#pragma once
// One invocation of tempikctl: the command, its argument and the options, as parsed and checked
// before anything is sent.
#include <optional>
#include <string>
#include <vector>

namespace tempik::ctl {

struct Request {
    std::string command;
    std::vector<std::string> arguments;
    std::optional<int> port;
    std::optional<std::string> portUrl;   // a network port named by its URL
    std::optional<int> lineIndex;
    std::optional<int> language;   // uiLanguage for messages and code page
    std::optional<int> hour;       // set-time: 0 "12H", 1 "24H"
    bool unlock = false;
    bool json = false;
    bool trace = false;
    bool help = false;
};

// Exit codes.
constexpr int exitOk = 0;
constexpr int exitRefused = 1;       // "Set Error", "Reader Not Find", version error
constexpr int exitUsage = 2;         // bad arguments, or no reader known
constexpr int exitPortClosed = 3;    // the port could not be opened

struct UsageError {
    std::string message;
};

// --port's value, a number from 1 to 255 or a network port's URL, into request; throws UsageError.
void takePortArgument(const std::string& text, Request& request);

// Throws UsageError for unknown options, missing or extra arguments.
Request parseRequest(const std::vector<std::string>& args);

std::string usageText();

} // namespace tempik::ctl
