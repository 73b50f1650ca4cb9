#include "app/ctl/ctl_request.h"

#include "app/ctl/ctl_commands.h"
#include "app/ctl/ctl_help.h"
#include "link/line_definition.h"
#include "link/network_url.h"

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

namespace {

struct OptionEntry {
    const char* longName;
    char shortName;      // 0: none
    const char* value;   // nullptr: a flag
};

const OptionEntry optionTable[] = {
    {"help", 'h', nullptr},     {"version", 'V', nullptr}, {"port", 'p', "N"},         {"line", 'l', "DEF"},
    {"unlock", 'u', nullptr},   {"language", 0, "LANG"},   {"json", 'j', nullptr},     {"trace", 't', nullptr},
    {"12h", 0, nullptr},        {"24h", 0, nullptr},       {"strict", 's', nullptr},   {"log", 0, "FILE"},
    {"all", 'a', nullptr},      {"ports", 0, "LIST"},
};

// Exact name first, then a unique prefix, as getopt_long takes them.
const OptionEntry& longOption(const std::string& name)
{
    const OptionEntry* prefixed = nullptr;
    int prefixes = 0;
    for (const OptionEntry& entry : optionTable) {
        if (name == entry.longName)
            return entry;
        if (!name.empty() && std::string(entry.longName).rfind(name, 0) == 0) {
            prefixed = &entry;
            ++prefixes;
        }
    }
    if (prefixes == 1)
        return *prefixed;
    throw UsageError{(prefixes > 1 ? "ambiguous option --" : "unknown option --") + name};
}

const OptionEntry& shortOption(char name)
{
    for (const OptionEntry& entry : optionTable)
        if (entry.shortName == name && name != 0)
            return entry;
    throw UsageError{std::string("unknown option -") + name};
}

void setOption(Request& request, const OptionEntry& entry, const std::string& value)
{
    const std::string name = entry.longName;
    if (name == "help") {
        request.help = true;
    } else if (name == "version") {
        request.version = true;
    } else if (name == "port") {
        takePortArgument(value, request);
    } else if (name == "line") {
        const int index = lineDefinitionIndexOf(value);
        if (index >= 0 || (!value.empty() && value.size() <= 2 && value.find_first_not_of("0123456789") == std::string::npos)) {
            request.lineIndex = parseLineArgument(value);
            request.line = lineDefinitions[static_cast<size_t>(*request.lineIndex)];
        } else {
            const std::optional<LineDefinition> line = parseLineDefinition(value);
            if (!line || !isStandardSpeed(line->speed))
                throw UsageError{"--line takes SPEED,PARITY,DATA,STOP (a standard speed from 110 to 230400, parity n, e, o, m or "
                                 "s, 5 to 8 data bits, 1, 1.5 or 2 stop bits) or an index 0-13, not \"" + value + "\""};
            request.line = value;
        }
    } else if (name == "unlock") {
        request.unlock = true;
    } else if (name == "language") {
        if (value == "english")
            request.language = 0;
        else if (value == "gb")
            request.language = 1;
        else if (value == "big5")
            request.language = 2;
        else
            throw UsageError{"--language takes english, gb or big5, not \"" + value + "\""};
    } else if (name == "json") {
        request.json = true;
    } else if (name == "trace") {
        request.trace = true;
    } else if (name == "12h" || name == "24h") {
        request.hour = name == "12h" ? 0 : 1;
    } else if (name == "strict") {
        request.strict = true;
    } else if (name == "log") {
        if (value.empty())
            throw UsageError{"--log needs a file name"};
        request.logFile = value;
    } else if (name == "all") {
        request.all = true;
    } else if (name == "ports") {
        request.ports = parsePortList(value);
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
    const bool reachesReader = entry->operation != nullptr || request.command == "scan";
    if (request.hour && request.command != "set-time")
        throw UsageError{"--12h and --24h go with set-time only"};
    if (request.unlock && !(request.command == "scan" || (request.all && reachesReader)))
        throw UsageError{"--unlock goes with scan and --all only"};
    if (request.strict && entry->operation == nullptr)
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
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // The value of an option: glued to it, or the next argument.
        auto valueFor = [&](const OptionEntry& entry, std::optional<std::string> glued) -> std::string {
            if (glued)
                return *glued;
            if (i + 1 >= args.size())
                throw UsageError{"option --" + std::string(entry.longName) + " needs a value " + entry.value};
            return args[++i];
        };
        if (arg == "--") {
            positional.insert(positional.end(), args.begin() + static_cast<long>(i) + 1, args.end());
            break;
        }
        if (arg.rfind("--", 0) == 0) {
            const size_t equals = arg.find('=');
            const OptionEntry& entry = longOption(arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2));
            std::optional<std::string> glued;
            if (equals != std::string::npos)
                glued = arg.substr(equals + 1);
            if (!entry.value && glued)
                throw UsageError{"option --" + std::string(entry.longName) + " takes no value"};
            setOption(request, entry, entry.value ? valueFor(entry, glued) : std::string());
        } else if (arg.size() > 1 && arg[0] == '-') {
            for (size_t at = 1; at < arg.size(); ++at) {
                const OptionEntry& entry = shortOption(arg[at]);
                if (!entry.value) {
                    setOption(request, entry, {});
                    continue;
                }
                setOption(request, entry, valueFor(entry, at + 1 < arg.size() ? std::optional<std::string>(arg.substr(at + 1)) : std::nullopt));
                break;
            }
        } else {
            positional.push_back(arg);
        }
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
        "Options (long ones also as --name=VALUE, or any unique prefix; -- ends the options):\n"
        "  -p, --port N                  serial port N (COM<N>) instead of the remembered one\n"
        "  -l, --line DEF                line definition instead of the remembered one: one of\n"
        "                                the 14 (e.g. 19200,e,8,1) or its index 0-13, or any\n"
        "                                SPEED,PARITY,DATA,STOP (speed 110-230400, parity\n"
        "                                n|e|o|m|s, 5-8 data bits, 1, 1.5 or 2 stop bits)\n"
        "  -u, --unlock                  scan: try all 14 line definitions on every port\n"
        "                                (otherwise only the remembered one)\n"
        "  -a, --all                     scan or set every reader on ports 1-32 at once, one\n"
        "                                thread per port; one result per reader\n"
        "      --ports LIST              with --all: only these ports, e.g. 1,3,5-8\n"
        "  -s, --strict                  a set command whose reader replies NG fails (exit 1)\n"
        "      --12h, --24h              set-time: how the reader shows the hour (default 12h)\n"
        "      --language english|gb|big5\n"
        "                                language of the messages and code page of the texts\n"
        "                                (default: the window's stored language)\n"
        "  -j, --json                    print JSON: for scan port, device, line, serial,\n"
        "                                identifier, version; for a set command port, device,\n"
        "                                serial and reply (OK, NG, other, none); --all: an array\n"
        "  -t, --trace                   print every frame written and received on standard\n"
        "                                error, in hexadecimal and as text, with a time in ms\n"
        "      --log FILE                append one line per exchange to FILE: UTC time, port,\n"
        "                                device, request and reply\n"
        "  -h, --help                    this text\n"
        "  -V, --version                 the version and the build's revision\n"
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
        "error, NG with --strict, or with --all any reader that did not accept; 2 usage error;\n"
        "3 the port could not be opened; 4 no reader known (no scan yet, or the last scan\n"
        "found none).\n";
    return text;
}

std::string versionText()
{
    return "tempikctl V1.40-01 (revision " TEMPIK_REVISION ")\n";
}

} // namespace tempik::ctl
