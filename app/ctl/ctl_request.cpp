#include "app/ctl/ctl_request.h"

#include "app/ctl/ctl_commands.h"
#include "link/line_definition.h"
#include "link/network_url.h"

#include <cstdlib>

namespace tempik::ctl {

namespace {

int parseNumber(const std::string& text, int low, int high, const std::string& what)
{
    if (text.empty() || text.size() > 6 || text.find_first_not_of("0123456789") != std::string::npos)
        throw UsageError{what + " must be a number from " + std::to_string(low) + " to " + std::to_string(high) +
                         ", not \"" + text + "\""};
    const int value = std::atoi(text.c_str());
    if (value < low || value > high)
        throw UsageError{what + " must be from " + std::to_string(low) + " to " + std::to_string(high) + ", not " +
                         text};
    return value;
}

} // namespace

int parseLineArgument(const std::string& text)
{
    const int index = lineDefinitionIndexOf(text);
    if (index >= 0)
        return index;
    if (!text.empty() && text.size() <= 2 && text.find_first_not_of("0123456789") == std::string::npos)
        return parseNumber(text, 0, lineDefinitionCount - 1, "line definition index");
    std::string known;
    for (const char* definition : lineDefinitions)
        known += std::string(known.empty() ? "" : ", ") + definition;
    throw UsageError{"unknown line definition \"" + text + "\"; use one of " + known + " or its index 0-13"};
}

void takePortArgument(const std::string& text, Request& request)
{
    if (!isNetworkUrl(text)) {
        request.port = parseNumber(text, 1, 255, "port number");
        return;
    }
    if (!parseNetworkUrl(text))
        throw UsageError{"\"" + text + "\" is not a network port: rfc2217://HOST:PORT or socket://HOST:PORT, " +
                         "optionally ?reply-ms=N (120 to " + std::to_string(longestReplyWaitMs) + ")"};
    request.portUrl = text;
}

Request parseRequest(const std::vector<std::string>& args)
{
    Request request;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size())
                throw UsageError{"option " + arg + " needs a value"};
            return args[++i];
        };
        if (optionsEnded || arg.rfind("--", 0) != 0 || arg == "-") {
            if (request.command.empty())
                request.command = arg;
            else
                request.arguments.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            request.help = true;
        } else if (arg == "--port") {
            takePortArgument(value(), request);
        } else if (arg == "--line") {
            request.lineIndex = parseLineArgument(value());
        } else if (arg == "--unlock") {
            request.unlock = true;
        } else if (arg == "--language") {
            const std::string& language = value();
            if (language == "english")
                request.language = 0;
            else if (language == "gb")
                request.language = 1;
            else if (language == "big5")
                request.language = 2;
            else
                throw UsageError{"--language takes english, gb or big5, not \"" + language + "\""};
        } else if (arg == "--json") {
            request.json = true;
        } else if (arg == "--trace") {
            request.trace = true;
        } else if (arg == "--12h" || arg == "--24h") {
            request.hour = arg == "--12h" ? 0 : 1;
        } else {
            throw UsageError{"unknown option " + arg};
        }
    }
    if (request.help)
        return request;
    if (request.command.empty())
        throw UsageError{"no command given"};
    const CommandEntry* entry = findCommand(request.command);
    if (!entry)
        throw UsageError{"unknown command \"" + request.command + "\""};
    const size_t wanted = entry->argument ? 1 : 0;
    if (request.arguments.size() != wanted)
        throw UsageError{request.command + (wanted ? " takes one argument: " + std::string(entry->argument)
                                                   : " takes no argument")};
    if (request.hour && request.command != "set-time")
        throw UsageError{"--12h and --24h go with set-time only"};
    if (request.unlock && request.command != "scan")
        throw UsageError{"--unlock goes with scan only"};
    return request;
}

std::string usageText()
{
    std::string text =
        "Usage: tempikctl [options] COMMAND [ARG]\n"
        "\n"
        "Sets up a punch-card reader on a serial port from the shell: the operations of the\n"
        "configuration window, one per run. A set command talks to the reader found by the last\n"
        "scan (its port and line definition are remembered), or to --port and --line.\n"
        "\n"
        "Commands:\n";
    for (const CommandEntry& entry : commandTable()) {
        std::string head = "  " + std::string(entry.name) + (entry.argument ? " " + std::string(entry.argument) : "");
        // Help in one column with the options'; a long head gets a line of its own.
        constexpr size_t helpColumn = 32;
        head = head.size() < helpColumn ? head + std::string(helpColumn - head.size(), ' ')
                                        : head + "\n" + std::string(helpColumn, ' ');
        text += head + entry.help + "\n";
    }
    text +=
        "\n"
        "Options:\n"
        "  --port N                      serial port N (COM<N>) instead of the remembered one\n"
        "  --port URL                    a network port: rfc2217://HOST:PORT or socket://HOST:PORT,\n"
        "                                ?reply-ms=N for a longer reply wait; not remembered\n"
        "  --line DEF                    line definition (e.g. 19200,e,8,1, or its index 0-13)\n"
        "                                instead of the remembered one\n"
        "  --unlock                      scan: try all 14 line definitions on every port\n"
        "                                (otherwise only the remembered one)\n"
        "  --12h, --24h                  set-time: how the reader shows the hour (default 12h)\n"
        "  --language english|gb|big5    language of the messages and code page of the texts\n"
        "                                (default: the window's stored language)\n"
        "  --json                        print one JSON object: command, outcome, message, and\n"
        "                                for scan port, device, line, serial, identifier, version\n"
        "  --trace                       print every frame written and received on standard\n"
        "                                error, in hexadecimal and as text, with a time in ms\n"
        "  --help                        this text\n"
        "\n"
        "Texts are given in UTF-8 and sent in the code page of the language (Windows-1252, GBK,\n"
        "Big5); each must fit its field counted in bytes of that page, as in the window.\n"
        "Ports: COM<n> is the entry ports/COM<n> of the configuration folder\n"
        "($XDG_CONFIG_HOME/KESTO or ~/.config/KESTO) when that folder exists; otherwise the\n"
        "machine's serial devices numbered from 1: ttyS* with a UART, then ttyUSB*, then ttyACM*.\n"
        "A ports/COM<n> file (not a link) whose first line is a URL as for --port names a network port.\n"
        "\n"
        "Exit status: 0 accepted or found; 1 \"Set Error\", \"Reader Not Find\" or the version\n"
        "error; 2 usage error or no reader known; 3 the port could not be opened.\n";
    return text;
}

} // namespace tempik::ctl
