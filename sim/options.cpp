#include "sim/options.h"

#include "link/line_definition.h"
#include "link/termios_speed.h"
#include "sim/pseudo_terminal.h"

#include <cctype>
#include <functional>
#include <map>
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

using Handler = std::function<std::string(SimOptions&, const std::string&)>;   // "" = ok

std::string number(const std::string& name, const std::string& value, unsigned min, unsigned max,
                   unsigned& out)
{
    if (!parseNumber(value, max, out) || out < min)
        return name + " wants a whole number from " + std::to_string(min) + " to " +
               std::to_string(max) + ", not '" + value + "'";
    return {};
}

const std::map<std::string, Handler>& valueOptions()
{
    static const std::map<std::string, Handler> table = {
        {"--line", [](SimOptions& o, const std::string& v) -> std::string {
             const auto line = parseLineDefinition(v);
             if (!line)
                 return "--line wants a line definition like 19200,e,8,1, not '" + v + "'";
             if (termiosSpeed(line->speed) == B0)
                 return "--line: " + std::to_string(line->speed) + " is not a speed a terminal can be set to";
             o.line = v;
             return {};
         }},
        {"--id", [](SimOptions& o, const std::string& v) -> std::string {
             unsigned id = 0;
             if (v.size() != 4 || !parseNumber(v, 9999, id) || id == 0)
                 return "--id wants four digits from 0001 to 9999, not '" + v + "'";
             o.identifier = v;
             return {};
         }},
        {"--serial", [](SimOptions& o, const std::string& v) -> std::string {
             if (v.size() != 8 || !textBytes(v))
                 return "--serial wants exactly 8 bytes, printable or from 0x80, not '" + v + "'";
             o.serial = v;
             return {};
         }},
        {"--version", [](SimOptions& o, const std::string& v) -> std::string {
             if (v.size() != 8 || !printable(v))
                 return "--version wants exactly 8 printable ASCII characters, not '" + v + "'";
             o.version = v;
             return {};
         }},
        {"--state", [](SimOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--state wants a file name";
             o.stateFile = v;
             return {};
         }},
        {"--link", [](SimOptions& o, const std::string& v) -> std::string {
             if (v.empty())
                 return "--link wants a path";
             o.linkPath = v;
             return {};
         }},
        {"--silent-on", [](SimOptions& o, const std::string& v) -> std::string {
             std::stringstream in(v);
             std::string code;
             bool any = false;
             while (std::getline(in, code, ',')) {
                 if (!isCommandCode(code))
                     return "--silent-on wants command codes of two upper-case letters separated by commas, not '" + v + "'";
                 o.faults.silentOn.insert(code);
                 any = true;
             }
             if (!any || v.back() == ',')
                 return "--silent-on wants command codes of two upper-case letters separated by commas, not '" + v + "'";
             return {};
         }},
        {"--silent-first", [](SimOptions& o, const std::string& v) {
             return number("--silent-first", v, 0, 1000000, o.faults.silentFirst);
         }},
        {"--delay-ms", [](SimOptions& o, const std::string& v) {
             return number("--delay-ms", v, 0, 60000, o.faults.delayMs);
         }},
        {"--noise", [](SimOptions& o, const std::string& v) {
             return number("--noise", v, 0, 4096, o.faults.noise);
         }},
        {"--status-length", [](SimOptions& o, const std::string& v) {
             unsigned length = 0;
             std::string error = number("--status-length", v, 7, 1024, length);
             if (error.empty())
                 o.faults.statusLength = length;
             return error;
         }},
    };
    return table;
}

} // namespace

ParsedOptions parseOptions(const std::vector<std::string>& args)
{
    ParsedOptions result;
    SimOptions& o = result.options;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        const std::map<std::string, bool*> flags = {
            {"--help", &o.help}, {"-h", &o.help}, {"--verbose", &o.verbose},
            {"--bad-check", &o.faults.badCheck}, {"--lowercase-check", &o.faults.lowercaseCheck},
            {"--no-version", &o.faults.noVersion},
        };
        if (auto flag = flags.find(name); flag != flags.end()) {
            if (hasValue) {
                result.error = name + " takes no value";
                return result;
            }
            *flag->second = true;
            continue;
        }
        const auto handler = valueOptions().find(name);
        if (handler == valueOptions().end()) {
            result.error = name.rfind("-", 0) == 0 ? "unknown option '" + name + "'"
                                                   : "unexpected argument '" + name + "'";
            return result;
        }
        if (!hasValue) {
            if (i + 1 >= args.size()) {
                result.error = name + " wants a value";
                return result;
            }
            value = args[++i];
        }
        const std::string error = handler->second(o, value);
        if (!error.empty()) {
            result.error = error;
            return result;
        }
    }
    if (o.faults.badCheck && o.faults.lowercaseCheck) {
        result.error = "--bad-check and --lowercase-check exclude each other";
        return result;
    }
    result.ok = true;
    return result;
}

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

Starting state:
  --line DEF           line definition, default 19200,e,8,1
  --id NNNN            identifier, four digits 0001 to 9999, default 0001
  --serial XXXXXXXX    serial number, 8 bytes (printable ASCII or from 0x80), default 20261208
  --version VVVVVVVV   version, 8 characters, default 01.40-01

Files:
  --state FILE         write the whole state as JSON (the folder must exist) at start and after
                       every applied command, before its reply goes out (a temporary file
                       renamed over FILE). Texts are the bytes received: printable ASCII as
                       it stands, any other byte as \u00XX with the byte's value. The picture
                       is 16 strings of 128 characters, '#' on (black) and '.' off.
  --link PATH          make PATH a symbolic link to the slave (parent folders are created, an
                       existing symbolic link is replaced) and remove it on exit; for example
                       ~/.config/KESTO/ports/COM3 gives the tool the port COM3.
  --verbose            one line per request on standard error.

Faults:
  --silent-on CODES    never answer these command codes (comma list, e.g. AS,BF); the request is
                       not applied either, as if it was never heard
  --silent-first N     do not answer (nor apply) the first N requests addressed to the reader
  --delay-ms N         send every reply N ms late (the tool waits 120 ms)
  --noise N            send N noise bytes before every reply (never ETX, EOT or CR)
  --bad-check          reply check digits of a wrong value
  --lowercase-check    reply check digits in lower case (the filler at positions 6-7 is then
                       chosen so that the check holds a letter)
  --status-length N    status reply of N bytes in all (right: 21), with correct check digits;
                       shorter cuts the serial number, longer fills it with '0'
  --no-version         do not answer the version query
  --help               this text

Replies (position 1 is the ETX): 2-5 identifier, 6-7 "00", then for AS the serial number
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
