#include "sim/options.h"

#include "link/line_definition.h"
#include "link/termios_speed.h"
#include "sim/pseudo_terminal.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <sstream>

namespace tempik::sim {

namespace {

bool parseNumber(const std::string& text, unsigned max, unsigned& value)
{
    if (text.empty() || text.size() > 9)
        return false;
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    const unsigned long v = std::stoul(text);
    if (v > max)
        return false;
    value = static_cast<unsigned>(v);
    return true;
}

bool printable(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) > 0x7E)
            return false;
    return true;
}

// Printable ASCII or code-page bytes from 0x80 (a serial number in a reader's own page, and a
// byte 0xFF that a network port must carry through): no control byte that could end a frame.
bool textBytes(const std::string& text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) == 0x7F)
            return false;
    return true;
}

bool isCommandCode(const std::string& text)
{
    return text.size() == 2 && std::isupper(static_cast<unsigned char>(text[0])) &&
           std::isupper(static_cast<unsigned char>(text[1]));
}

// A value the option does not take; the message says why.
struct Refused {
    std::string message;
};

void number(const std::string& name, const std::string& value, unsigned min, unsigned max, unsigned& out)
{
    if (!parseNumber(value, max, out) || out < min)
        throw Refused{name + " wants a whole number from " + std::to_string(min) + " to " + std::to_string(max) +
                      ", not '" + value + "'"};
}

void check(bool good, const std::string& message)
{
    if (!good)
        throw Refused{message};
}

using Text = std::string;

// Every option once, in the groups of the help.
void declareOptions(CLI::App& app, SimOptions& o)
{
    app.set_help_flag();
    app.option_defaults()->disable_flag_override();
    const char* state = "Starting state";
    app.add_option_function<Text>("--line", [&o](const Text& v) {
           const auto line = parseLineDefinition(v);
           check(line.has_value(), "--line wants a line definition like 19200,e,8,1, not '" + v + "'");
           check(termiosSpeed(line->speed) != B0,
                 "--line: " + std::to_string(line->speed) + " is not a speed a terminal can be set to");
           o.line = v;
       }, "line definition, default 19200,e,8,1")->type_name("DEF")->group(state);
    app.add_option_function<Text>("--id", [&o](const Text& v) {
           unsigned id = 0;
           check(v.size() == 4 && parseNumber(v, 9999, id) && id != 0,
                 "--id wants four digits from 0001 to 9999, not '" + v + "'");
           o.identifier = v;
       }, "identifier, four digits 0001 to 9999, default 0001")->type_name("NNNN")->group(state);
    app.add_option_function<Text>("--serial", [&o](const Text& v) {
           check(v.size() == 8 && textBytes(v), "--serial wants exactly 8 bytes, printable or from 0x80, not '" + v + "'");
           o.serial = v;
       }, "serial number, 8 bytes (printable ASCII or from 0x80), default 20261208")->type_name("XXXXXXXX")->group(state);
    app.add_option_function<Text>("--version", [&o](const Text& v) {
           check(v.size() == 8 && printable(v), "--version wants exactly 8 printable ASCII characters, not '" + v + "'");
           o.version = v;
       }, "version, 8 characters, default 01.40-01")->type_name("VVVVVVVV")->group(state);

    const char* files = "Files";
    app.add_option_function<Text>("--state", [&o](const Text& v) {
           check(!v.empty(), "--state wants a file name");
           o.stateFile = v;
       }, "write the whole state as JSON (the folder must exist) at start and after\n"
          "every applied command, before its reply goes out (a temporary file\n"
          "renamed over FILE). Texts are the bytes received: printable ASCII as\n"
          "it stands, any other byte as \\u00XX with the byte's value. The picture\n"
          "is 16 strings of 128 characters, '#' on (black) and '.' off.")->type_name("FILE")->group(files);
    app.add_option_function<Text>("--link", [&o](const Text& v) {
           check(!v.empty(), "--link wants a path");
           o.linkPath = v;
       }, "make PATH a symbolic link to the slave (parent folders are created, an\n"
          "existing symbolic link is replaced) and remove it on exit; for example\n"
          "~/.config/KESTO/ports/COM3 gives the tool the port COM3.")->type_name("PATH")->group(files);
    app.add_flag("--verbose", o.verbose, "one line per request on standard error.")->group(files);

    const char* faults = "Faults";
    app.add_option_function<Text>("--silent-on", [&o](const Text& v) {
           const Text wanted = "--silent-on wants command codes of two upper-case letters separated by commas, not '" + v + "'";
           std::stringstream in(v);
           for (Text code; std::getline(in, code, ',');) {
               check(isCommandCode(code), wanted);
               o.faults.silentOn.insert(code);
           }
           check(!v.empty() && v.back() != ',', wanted);
       }, "never answer these command codes (comma list, e.g. AS,BF); the request is\n"
          "not applied either, as if it was never heard")->type_name("CODES")->group(faults);
    app.add_option_function<Text>("--silent-first", [&o](const Text& v) { number("--silent-first", v, 0, 1000000, o.faults.silentFirst); },
                                  "do not answer (nor apply) the first N requests addressed to the reader")
        ->type_name("N")->group(faults);
    app.add_option_function<Text>("--delay-ms", [&o](const Text& v) { number("--delay-ms", v, 0, 60000, o.faults.delayMs); },
                                  "send every reply N ms late (the tool waits 120 ms)")->type_name("N")->group(faults);
    app.add_option_function<Text>("--noise", [&o](const Text& v) { number("--noise", v, 0, 4096, o.faults.noise); },
                                  "send N noise bytes before every reply (never ETX, EOT or CR)")->type_name("N")->group(faults);
    app.add_flag("--bad-check", o.faults.badCheck, "reply check digits of a wrong value")->group(faults);
    app.add_flag("--lowercase-check", o.faults.lowercaseCheck,
                 "reply check digits in lower case (the filler at positions 6-7 is then\n"
                 "chosen so that the check holds a letter)")->group(faults);
    app.add_option_function<Text>("--status-length", [&o](const Text& v) {
           unsigned length = 0;
           number("--status-length", v, 7, 1024, length);
           o.faults.statusLength = length;
       }, "status reply of N bytes in all (right: 21), with correct check digits;\n"
          "shorter cuts the serial number, longer fills it with '0'")->type_name("N")->group(faults);
    app.add_flag("--no-version", o.faults.noVersion, "do not answer the version query")->group(faults);
    app.add_flag("-h,--help", o.help, "this text")->group(faults);
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    ParsedOptions result;
    CLI::App app;
    declareOptions(app, result.options);
    std::vector<const char*> argv{"tempik-sim"};
    for (const std::string& arg : args)
        argv.push_back(arg.c_str());
    try {
        app.parse(static_cast<int>(argv.size()), argv.data());
        check(!(result.options.faults.badCheck && result.options.faults.lowercaseCheck),
              "--bad-check and --lowercase-check exclude each other");
        result.ok = true;
    } catch (const CLI::ParseError& error) {
        result.error = error.what();
    } catch (const Refused& refused) {
        result.error = refused.message;
    }
    return result;
}

namespace {

// The options' part of the help, group by group, from their declarations.
std::string optionHelp()
{
    SimOptions unused;
    CLI::App app;
    declareOptions(app, unused);
    std::ostringstream out;
    for (const char* group : {"Starting state", "Files", "Faults"}) {
        out << group << ":\n";
        for (const CLI::Option* option : app.get_options())
            if (option->get_group() == group)
                {
                const bool takesValue = option->get_items_expected() > 0;
                const std::string head = "--" + option->get_lnames().front() + (takesValue ? " " + option->get_type_name() : "");
                CLI::detail::format_help(out, head, option->get_description(), 23);
            }
        out << "\n";
    }
    return out.str();
}

} // namespace

std::string helpText()
{
    return R"(Usage: tempik-sim [OPTION]...
A simulated card reader on a pseudo-terminal, for trying the configuration tool without
hardware. It prints one line "ready <slave path>" on standard output when the port can be
opened, answers the reader's commands there, and stops cleanly on SIGINT or SIGTERM.

The reader answers only when the host's line speed (read from the pseudo-terminal at the moment
each request arrives) equals the speed of its own line definition; at another speed it stays
silent, as a real reader does on framing errors. A pseudo-terminal carries no parity, so parity
is not compared. Request frames that break the format or fail their check get no reply.

)" + optionHelp() + R"(Replies (position 1 is the ETX): 2-5 identifier, 6-7 "00", then for AS the serial number
(21 bytes), for AV the version (21 bytes), for every other command its code and "OK" when taken
or "NG" when refused or unknown (17 bytes). Requests addressed to "0000" or to the reader's own
identifier are answered. Commands sent without waiting (texts, picture blocks) are answered too.

Commands: AS status, AV version, AD identifier (only when the serial number in it is the
reader's own), AE line speed (answered at the old speed, then the reader switches), AI factory
defaults, BD 12/24H, AA clock, BC language, BF password, BE volume, AH card type, BH backlight,
BJ work time, AG idle screen, BA title mode (one digit) or BA1 title text, BA3 install message,
BA4 title message, BI show message, BB picture block.

Factory defaults (AI): identifier 0001, line 19200,e,8,1, hourMode 1 (24H), language 0,
password 0000, volume 9, card type 0, backlight 120, work time 010, idle screen 0, title mode 0,
empty texts, blank picture. The serial number, version and clock are kept. The reader starts
with these values, apart from --line and --id.

Exit status: 0 after SIGINT or SIGTERM, 1 when the pseudo-terminal, link or state file cannot
be made, 2 for a bad command line.
)";
}

} // namespace tempik::sim
