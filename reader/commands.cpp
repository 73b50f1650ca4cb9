#include "reader/commands.h"

#include "link/frame.h"
#include "link/line_definition.h"

#include <cstdio>

namespace tempik {

namespace {
const std::string address = "0000";

std::string command(const char* code, const std::string& argument = std::string())
{
    return address + code + argument;
}
} // namespace

std::string fixedField(const std::string& bytes, size_t width)
{
    std::string field = bytes.substr(0, width);
    field.resize(width, ' ');
    return field;
}

std::string replyField(const std::string& reply, ReplyField field)
{
    const size_t from = field.position - 1;
    return from < reply.size() ? reply.substr(from, field.length) : std::string();
}

namespace payload {

std::string statusQuery() { return command("AS"); }
std::string versionQuery() { return command("AV"); }

std::string setIdentifier(const std::string& serialNumber, const std::string& identifier)
{
    return command("AD", serialNumber + identifier);
}

std::string setLineSpeed(int lineDefinitionIndex)
{
    return command("AE", std::string(1, lineSpeedArgument(lineDefinitionIndex)));
}

std::string factoryDefault() { return command("AI"); }
std::string setHourMode(int hourIndex) { return command("BD", std::to_string(hourIndex)); }

std::string setDateTime(int year, int month, int day, int hour, int minute, int second)
{
    char digits[32];
    std::snprintf(digits, sizeof digits, "%04d%02d%02d%02d%02d%02d", year, month, day, hour, minute, second);
    return command("AA", digits);
}

std::string setDisplayLanguage(int index) { return command("BC", std::to_string(index)); }
std::string setPassword(const std::string& bytes) { return command("BF", bytes); }
std::string setVolume(int index) { return command("BE", std::to_string(index)); }
std::string setCardType(int index) { return command("AH", std::to_string(index)); }
std::string setBackLight(const std::string& bytes) { return command("BH", bytes); }
std::string setWorkTime(const std::string& bytes) { return command("BJ", bytes); }
std::string setIdleScreen(int index) { return command("AG", std::to_string(index)); }
std::string setTitleMode(int index) { return command("BA", std::to_string(index)); }
std::string titleText(const std::string& bytes) { return command("BA1", fixedField(bytes, titleFieldWidth)); }
std::string installMessage(const std::string& bytes) { return command("BA3", fixedField(bytes, installFieldWidth)); }
std::string titleMessage(const std::string& bytes) { return command("BA4", fixedField(bytes, messageFieldWidth)); }
std::string showMessage(const std::string& bytes) { return command("BI", fixedField(bytes, showFieldWidth)); }

std::string pictureBlock(int block, const uint8_t* bytes32)
{
    std::string text = command("BB", std::to_string(block));
    for (int i = 0; i < 32; ++i)
        text += hexPair(bytes32[i]);
    return text;
}

} // namespace payload
} // namespace tempik
