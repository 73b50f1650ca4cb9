#include "link/line_definition.h"

#include <cctype>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace tempik {

const std::array<const char*, lineDefinitionCount> lineDefinitions = {
    "4800,n,8,1",   "4800,e,8,1",   "9600,n,8,1",   "9600,e,8,1",   "19200,n,8,1",
    "19200,e,8,1",  "38400,n,8,1",  "38400,e,8,1",  "57600,n,8,1",  "57600,e,8,1",
    "115200,n,8,1", "115200,e,8,1", "230400,n,8,1", "230400,e,8,1",
};

namespace {
bool parseUnsigned(const std::string& field, unsigned long& value)
{
    if (field.empty() || field.size() > 9)
        return false;
    for (char c : field)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    value = std::strtoul(field.c_str(), nullptr, 10);
    return true;
}
} // namespace

bool isStandardSpeed(unsigned bitsPerSecond)
{
    static const unsigned speeds[] = {110,  134,  150,  200,   300,   600,   1200,   1800,
                                      2400, 4800, 9600, 19200, 38400, 57600, 115200, 230400};
    for (unsigned speed : speeds)
        if (speed == bitsPerSecond)
            return true;
    return false;
}

std::optional<LineDefinition> parseLineDefinition(const std::string& text)
{
    std::vector<std::string> fields;
    std::stringstream in(text);
    std::string field;
    while (std::getline(in, field, ','))
        fields.push_back(field);
    if (fields.size() != 4 || text.back() == ',')
        return std::nullopt;

    LineDefinition line;
    unsigned long speed = 0, dataBits = 0, stopBits = 0;
    if (!parseUnsigned(fields[0], speed) || speed == 0)
        return std::nullopt;
    if (fields[1].size() != 1)
        return std::nullopt;
    const char parity = static_cast<char>(std::tolower(static_cast<unsigned char>(fields[1][0])));
    if (std::string("neoms").find(parity) == std::string::npos)
        return std::nullopt;
    if (!parseUnsigned(fields[2], dataBits) || dataBits < 5 || dataBits > 8)
        return std::nullopt;
    // One and a half stop bits exist only beside 5 data bits; a line takes them as two.
    if (fields[3] == "1.5") {
        stopBits = 2;
        line.oneAndHalfStopBits = true;
    }
    else if (!parseUnsigned(fields[3], stopBits) || (stopBits != 1 && stopBits != 2))
        return std::nullopt;
    line.speed = static_cast<unsigned>(speed);
    line.parity = parity;
    line.dataBits = static_cast<int>(dataBits);
    line.stopBits = static_cast<int>(stopBits);
    return line;
}

int lineDefinitionIndexOrDefault(int index)
{
    return index >= 0 && index < lineDefinitionCount ? index : factoryLineDefinitionIndex;
}

char lineSpeedArgument(int index)
{
    return "0123456789ABCD"[lineDefinitionIndexOrDefault(index)];
}

int lineDefinitionIndexOf(const std::string& text)
{
    for (int i = 0; i < lineDefinitionCount; ++i)
        if (text == lineDefinitions[static_cast<size_t>(i)])
            return i;
    return -1;
}

} // namespace tempik
