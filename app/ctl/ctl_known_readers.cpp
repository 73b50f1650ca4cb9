#include "app/ctl/ctl_known_readers.h"

#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "settings/config_file.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <ctime>
#include <iostream>

namespace tempik::ctl {

namespace {

using Json = nlohmann::ordered_json;

const char* const fileName = "tempikctl-readers";

// What the reader sent may be any bytes: what is not UTF-8 becomes U+FFFD, so the file and the
// output stay valid JSON.
std::string dumped(const Json& value)
{
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string textOf(const Json& object, const char* key)
{
    const auto found = object.find(key);
    return found != object.end() && found->is_string() ? found->get<std::string>() : std::string();
}

Json toJson(const KnownReader& reader)
{
    return Json{{"port", reader.port},         {"line", reader.line},
                {"serial", reader.serial},     {"identifier", reader.identifier},
                {"version", reader.version},   {"time", reader.time}};
}

} // namespace

bool KnownReader::operator==(const KnownReader& other) const
{
    return port == other.port && line == other.line && serial == other.serial && identifier == other.identifier &&
           version == other.version && time == other.time;
}

std::vector<KnownReader> loadKnownReaders(const std::string& configFolder)
{
    std::vector<KnownReader> readers;
    const std::optional<std::string> text = readConfigFile(configFolder + "/" + fileName);
    if (!text)
        return readers;
    const Json file = Json::parse(*text, nullptr, false);
    if (!file.is_array())
        return readers;
    for (const Json& entry : file) {
        if (!entry.is_object() || !entry.contains("port") || !entry["port"].is_number_integer())
            continue;
        KnownReader reader;
        const auto port = entry["port"].get<long long>();
        reader.line = textOf(entry, "line");
        if (port < firstSweepPort || port > lastSweepPort || reader.line.empty())
            continue;
        reader.port = static_cast<int>(port);
        reader.serial = textOf(entry, "serial");
        reader.identifier = textOf(entry, "identifier");
        reader.version = textOf(entry, "version");
        reader.time = textOf(entry, "time");
        rememberReader(readers, reader);
    }
    return readers;
}

bool saveKnownReaders(const std::string& configFolder, const std::vector<KnownReader>& readers)
{
    // One reader a line, for the person who opens the file.
    std::string text = "[";
    for (const KnownReader& reader : readers)
        text += std::string(text.size() > 1 ? ",\n " : "\n ") + dumped(toJson(reader));
    text += "\n]\n";
    return saveConfigFile(configFolder, fileName, [&text](const std::string&) { return text; });
}

const KnownReader* knownReaderAt(const std::vector<KnownReader>& readers, int port)
{
    const auto found = std::find_if(readers.begin(), readers.end(), [port](const KnownReader& r) { return r.port == port; });
    return found == readers.end() ? nullptr : &*found;
}

void rememberReader(std::vector<KnownReader>& readers, const KnownReader& reader)
{
    forgetPort(readers, reader.port);
    const auto after = std::find_if(readers.begin(), readers.end(), [&](const KnownReader& r) { return r.port > reader.port; });
    readers.insert(after, reader);
}

void forgetPort(std::vector<KnownReader>& readers, int port)
{
    readers.erase(std::remove_if(readers.begin(), readers.end(), [port](const KnownReader& r) { return r.port == port; }),
                  readers.end());
}

std::string utcNow()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&now));
    return text;
}

Report unreachedJson(const std::string& command, const std::string& message, const KnownReader& reader,
                     const std::string& device)
{
    return Report{{"command", jsonText(command)},  {"outcome", "unreachable"},         {"message", jsonText(message)},
                  {"port", reader.port},           {"device", jsonText(device)},       {"line", jsonText(reader.line)},
                  {"serial", jsonText(reader.serial)}, {"identifier", jsonText(reader.identifier)}};
}

int printKnownReaders(const std::string& configFolder, const PortMap& ports, bool json)
{
    const std::vector<KnownReader> readers = loadKnownReaders(configFolder);
    Json array = Json::array();
    for (const KnownReader& reader : readers) {
        const std::string device = ports.devicePath(reader.port).value_or("");
        if (json) {
            Json object = toJson(reader);
            object["device"] = device;
            array.push_back(std::move(object));
            continue;
        }
        std::cout << portName(reader.port) << " " << terminalText(device.empty() ? "-" : device) << " "
                  << terminalText(reader.line) << " " << terminalText(reader.serial) << " " << terminalText(reader.identifier) << " "
                  << terminalText(reader.version) << " " << terminalText(reader.time) << "\n";
    }
    if (json)
        std::cout << dumped(array) << "\n";
    else if (readers.empty())
        std::cerr << "tempikctl: no reader remembered; 'tempikctl --all scan' finds them\n";
    return exitOk;
}

} // namespace tempik::ctl
