#include "app/ctl/ctl_request.h"

#include "app/ctl/ctl_commands.h"
#include "app/ctl/ctl_help.h"
#include "link/line_definition.h"
#include "link/network_url.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdlib>
#include <sstream>

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

namespace {

void takeLine(const std::string& value, Request& request)
{
    const int index = lineDefinitionIndexOf(value);
    if (index >= 0 || (!value.empty() && value.size() <= 2 && value.find_first_not_of("0123456789") == std::string::npos)) {
        request.lineIndex = parseLineArgument(value);
        request.line = lineDefinitions[static_cast<size_t>(*request.lineIndex)];
        return;
    }
    const std::optional<LineDefinition> line = parseLineDefinition(value);
    if (!line || !isStandardSpeed(line->speed))
        throw UsageError{"--line takes SPEED,PARITY,DATA,STOP (a standard speed from 110 to 230400, parity n, e, o, m or "
                         "s, 5 to 8 data bits, 1, 1.5 or 2 stop bits) or an index 0-13, not \"" + value + "\""};
    request.line = value;
}

void takeLanguage(const std::string& value, Request& request)
{
    const char* const names[] = {"english", "gb", "big5"};
    for (int language = 0; language < 3; ++language)
        if (value == names[language]) {
            request.language = language;
            return;
        }
    throw UsageError{"--language takes english, gb or big5, not \"" + value + "\""};
}

// The options, each declared once with its help; the help's lines follow the option column.
void declareOptions(CLI::App& app, Request& request, std::vector<std::string>& positional)
{
    using Text = std::string;
    app.set_help_flag();
    app.option_defaults()->disable_flag_override();
    app.add_option_function<Text>("-p,--port", [&](const Text& v) { takePortArgument(v, request); },
                                  "serial port N (COM<N>) instead of the remembered one")
        ->type_name("N");
    app.add_option_function<Text>("-l,--line", [&](const Text& v) { takeLine(v, request); },
                                  "line definition instead of the remembered one: one of\n"
                                  "the 14 (e.g. 19200,e,8,1) or its index 0-13, or any\n"
                                  "SPEED,PARITY,DATA,STOP (speed 110-230400, parity\n"
                                  "n|e|o|m|s, 5-8 data bits, 1, 1.5 or 2 stop bits)")
        ->type_name("DEF");
    app.add_flag("-u,--unlock", request.unlock,
                 "scan: try all 14 line definitions on every port\n(otherwise only the remembered one)");
    app.add_flag("-a,--all", request.all,
                 "scan or set every reader on ports 1-255 at once, one\n"
                 "thread per port (8 at most per network host); a scan\n"
                 "remembers each reader found ('readers' lists them),\n"
                 "a set command goes to each at its own line; one\n"
                 "result per reader, then a summary line");
    app.add_option_function<Text>("--ports", [&](const Text& v) { request.ports = parsePortList(v); },
                                  "with --all: only these ports, e.g. 1,3,5-8")
        ->type_name("LIST");
    app.add_flag("-s,--strict", request.strict, "a set command whose reply is not OK fails (exit 1)");
    app.add_flag("--check", request.check,
                 "apply: check the profile and print the frames it would\nsend, without opening a port");
    app.add_flag_callback("--12h", [&] { request.hour = 0; }, "set-time: the hour shown as 12H (the default)");
    app.add_flag_callback("--24h", [&] { request.hour = 1; }, "set-time: the hour shown as 24H");
    app.add_option_function<Text>("--language", [&](const Text& v) { takeLanguage(v, request); },
                                  "language of the messages and code page of the texts\n"
                                  "(default: the window's stored language)")
        ->type_name("english|gb|big5");
    app.add_flag("-j,--json", request.json,
                 "print JSON: for scan port, device, line, serial,\n"
                 "identifier, version; for a set command port, device,\n"
                 "serial and reply (OK, NG, other, none); --all: an array");
    app.add_flag("-t,--trace", request.trace,
                 "print every frame written and received on standard\n"
                 "error, in hexadecimal and as text, with a time in ms");
    app.add_option_function<Text>("--log",
                                  [&](const Text& v) {
                                      if (v.empty())
                                          throw UsageError{"--log needs a file name"};
                                      request.logFile = v;
                                  },
                                  "append one line per exchange to FILE: UTC time, port,\n"
                                  "device, request and reply")
        ->type_name("FILE");
    app.add_flag("-h,--help", request.help, "this text");
    app.add_flag("-V,--version", request.version, "the version and the build's revision");
    app.add_option("command", positional)->group("");
}

// CLI11 (2.1) takes a long option only by its whole name; getopt_long's unique prefix is
// widened here to the name of the one option it begins.
void widenPrefixes(const CLI::App& app, std::vector<std::string>& args)
{
    for (std::string& arg : args) {
        if (arg == "--")
            break;
        if (arg.rfind("--", 0) != 0)
            continue;
        const size_t equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        std::vector<std::string> names;
        for (const CLI::Option* option : app.get_options())
            for (const std::string& longName : option->get_lnames())
                names.push_back(longName);
        if (name.empty() || std::find(names.begin(), names.end(), name) != names.end())
            continue;
        std::vector<std::string> matches;
        for (const std::string& longName : names)
            if (longName.rfind(name, 0) == 0)
                matches.push_back(longName);
        if (matches.size() > 1)
            throw UsageError{"ambiguous option --" + name};
        if (matches.size() == 1)
            arg = "--" + matches.front() + (equals == std::string::npos ? "" : arg.substr(equals));
    }
}

void checkCombination(const Request& request)
{
    if (request.command.empty())
        throw UsageError{"no command given"};
    const CommandEntry* entry = findCommand(request.command);
    if (!entry)
        throw UsageError{"unknown command \"" + request.command + "\""};
    const size_t wanted = entry->argument ? 1 : 0;
    if (request.arguments.size() != wanted)
        throw UsageError{request.command + (wanted ? " takes one argument: " + std::string(entry->argument)
                                                   : " takes no argument")};
    const bool isApply = request.command == "apply";
    const bool reachesReader = entry->operation != nullptr || request.command == "scan" || isApply;
    if (request.hour && request.command != "set-time")
        throw UsageError{"--12h and --24h go with set-time only"};
    if (request.unlock && !(request.command == "scan" || (request.all && reachesReader)))
        throw UsageError{"--unlock goes with scan and --all only"};
    if (request.check && !isApply)
        throw UsageError{"--check goes with apply only"};
    if (request.strict && entry->operation == nullptr && !isApply)
        throw UsageError{"--strict goes with the set commands only"};
    if (request.all && !reachesReader)
        throw UsageError{"--all goes with scan and the set commands only"};
    if (request.all && (request.port || request.portUrl))
        throw UsageError{"--all and --port exclude each other; --ports limits --all"};
    if (request.all && request.line && !request.lineIndex)
        throw UsageError{"--all tries the 14 listed line definitions; --line must be one of them"};
    if (!request.ports.empty() && !request.all)
        throw UsageError{"--ports goes with --all only"};
}

// The column of the help texts of commands and options.
constexpr size_t helpColumn = 32;

} // namespace

std::vector<int> parsePortList(const std::string& text)
{
    std::vector<bool> chosen(lastSweepPort + 1, false);
    std::string item;
    std::stringstream in(text);
    bool any = false;
    while (std::getline(in, item, ',')) {
        const size_t dash = item.find('-');
        const std::string what = "a port in --ports";
        const int from = parseNumber(item.substr(0, dash), firstSweepPort, lastSweepPort, what);
        const int to = dash == std::string::npos ? from
                                                 : parseNumber(item.substr(dash + 1), firstSweepPort, lastSweepPort, what);
        if (to < from)
            throw UsageError{"the range " + item + " in --ports runs backwards"};
        for (int port = from; port <= to; ++port)
            chosen[static_cast<size_t>(port)] = any = true;
    }
    if (!any || text.back() == ',')
        throw UsageError{"--ports takes a list such as 1,3,5-8, not \"" + text + "\""};
    std::vector<int> ports;
    for (int port = firstSweepPort; port <= lastSweepPort; ++port)
        if (chosen[static_cast<size_t>(port)])
            ports.push_back(port);
    return ports;
}

Request parseRequest(const std::vector<std::string>& args)
{
    Request request;
    std::vector<std::string> positional;
    CLI::App app;
    declareOptions(app, request, positional);
    std::vector<std::string> widened = args;
    widenPrefixes(app, widened);
    std::vector<const char*> argv{"tempikctl"};
    for (const std::string& arg : widened)
        argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
    } catch (const CLI::ParseError& error) {
        throw UsageError{error.what()};
    }
    if (request.help || request.version)
        return request;
    if (!positional.empty()) {
        request.command = positional.front();
        request.arguments.assign(positional.begin() + 1, positional.end());
    }
    checkCombination(request);
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
    std::ostringstream commands;
    for (const CommandEntry& entry : commandTable())
        CLI::detail::format_help(commands, std::string(entry.name) + (entry.argument ? " " + std::string(entry.argument) : ""),
                                 entry.help, helpColumn);
    text += commands.str();
    text +=
        "\n"
        "Options (long ones also as --name=VALUE, or any unique prefix; -- ends the options):\n";
    Request request;
    std::vector<std::string> positional;
    CLI::App app;
    declareOptions(app, request, positional);
    std::ostringstream options;
    for (const CLI::Option* option : app.get_options()) {
        if (option->get_lnames().empty())
            continue;   // the command and its argument
        const std::vector<std::string>& shortNames = option->get_snames();
        std::string head = (shortNames.empty() ? "    " : "-" + shortNames.front() + ", ") + "--" + option->get_lnames().front();
        if (option->get_items_expected() > 0)
            head += " " + option->get_type_name();
        CLI::detail::format_help(options, head, option->get_description(), helpColumn);
    }
    text += options.str();
    text +=
        "\n"
        "A set command goes to the reader the last scan found (its port and line definition\n"
        "are remembered), or to --port and --line. After a scan that found no reader, set\n"
        "commands are refused (exit 4) until a scan finds one, as the window refuses them;\n"
        "--port names a reader's port directly. A scan that finds the reader on another port\n"
        "or line than the remembered ones remembers them, whatever --port or --line led there.\n"
        "\n"
        "Texts are given in UTF-8 and sent in the code page of the language (Windows-1252, GBK,\n"
        "Big5); each must fit its field counted in bytes of that page, as in the window.\n"
        + std::string(portsHelpText()) +
        "\n"
        "Exit status: 0 accepted or found; 1 \"Set Error\", \"Reader Not Find\", the version\n"
        "error, NG or another reply with --strict, or with --all any reader that did not accept,\n"
        "or a reader remembered by --all scan that was not reached; 2 usage error; 3 the port\n"
        "could not be opened; 4 no reader known (no scan yet, or the last scan found none).\n";
    return text;
}

std::string versionText()
{
    return "tempikctl V1.40-01 (revision " TEMPIK_REVISION ")\n";
}

} // namespace tempik::ctl
