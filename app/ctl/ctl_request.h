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
    std::optional<std::string> line;   // a line definition; lineIndex too when it is one of the 14
    std::optional<int> lineIndex;
    std::optional<int> language;   // uiLanguage for messages and code page
    std::optional<int> hour;       // set-time: 0 "12H", 1 "24H"
    bool unlock = false;
    bool json = false;
    bool trace = false;
    bool strict = false;           // a reply of "NG" fails the command
    bool check = false;            // apply: print the frames, open no port
    bool all = false;              // every reader of the map at once
    std::vector<int> ports;        // with all: only these (ascending); empty: every port of the map
    std::string logFile;
    bool help = false;
    bool version = false;
};

// Exit codes.
constexpr int exitOk = 0;
constexpr int exitRefused = 1;       // "Set Error", "Reader Not Find", version error, NG with --strict
constexpr int exitUsage = 2;         // bad arguments
constexpr int exitPortClosed = 3;    // the port could not be opened
constexpr int exitNoReader = 4;      // no reader known: no scan yet, or the last one found none

// The ports --all and --ports cover: every one --port takes (the window's scan keeps 1 to 32).
constexpr int firstSweepPort = 1;
constexpr int lastSweepPort = 255;

struct UsageError {
    std::string message;
};

// --port's value, a number from 1 to 255 or a network port's URL, into request; throws UsageError.
void takePortArgument(const std::string& text, Request& request);

// getopt_long's conventions, through CLI11: "--port=3" or "--port 3", a unique prefix of a long
// option, short options alone or bundled ("-jt", "-p3"), options before or after the command, and
// "--" ends them. Throws UsageError for unknown options, missing or extra arguments and values out
// of range.
Request parseRequest(const std::vector<std::string>& args);

// "1,3,5-8" to ascending port numbers within 1 to 255; throws UsageError.
std::vector<int> parsePortList(const std::string& text);

std::string usageText();
std::string versionText();

} // namespace tempik::ctl
