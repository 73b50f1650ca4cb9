#include "sim/reader_state.h"

#include "link/line_definition.h"

#include <cctype>

namespace tempik::sim {

namespace {

bool allDigits(const std::string& text)
{
    for (char c : text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// One character from choices ("01", "012", ...).
bool isChoice(const std::string& argument, const char* choices)
{
    return argument.size() == 1 && std::string(choices).find(argument[0]) != std::string::npos;
}

CommandOutcome setChoice(std::string& field, const std::string& argument, const char* choices)
{
    if (!isChoice(argument, choices))
        return CommandOutcome::refused;
    field = argument;
    return CommandOutcome::applied;
}

CommandOutcome setText(std::string& field, const std::string& argument, size_t maxLength)
{
    if (argument.size() > maxLength)
        return CommandOutcome::refused;
    field = argument;
    return CommandOutcome::applied;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

CommandOutcome setIdentifier(ReaderState& state, const std::string& argument)
{
    // Serial number (8) + new identifier (4 digits, 0001..9999). Addressed by serial number, so
    // a reader that is not meant keeps its identifier.
    if (argument.size() != 12)
        return CommandOutcome::refused;
    const std::string serial = argument.substr(0, 8);
    const std::string identifier = argument.substr(8);
    if (serial != state.serial || !allDigits(identifier) || identifier == "0000")
        return CommandOutcome::refused;
    state.identifier = identifier;
    return CommandOutcome::applied;
}

CommandOutcome setLine(ReaderState& state, const std::string& argument)
{
    static const std::string arguments = "0123456789ABCD";
    if (argument.size() != 1 || arguments.find(argument[0]) == std::string::npos)
        return CommandOutcome::refused;
    state.line = lineDefinitions[arguments.find(argument[0])];
    return CommandOutcome::applied;
}

CommandOutcome setTitle(ReaderState& state, const std::string& argument)
{
    // One character: the title mode. Longer: a kind digit and its text ("1" title text,
    // "3" install message, "4" title message).
    if (argument.size() == 1)
        return setChoice(state.titleMode, argument, "012");
    if (argument.empty())
        return CommandOutcome::refused;
    const std::string text = argument.substr(1);
    switch (argument[0]) {
    case '1': state.titleText = text; return CommandOutcome::applied;
    case '3': state.installMessage = text; return CommandOutcome::applied;
    case '4': state.titleMessage = text; return CommandOutcome::applied;
    default: return CommandOutcome::refused;
    }
}

CommandOutcome setPictureBlock(ReaderState& state, const std::string& argument)
{
    if (argument.size() != 1 + 2 * Picture::blockBytes || argument[0] < '0' ||
        argument[0] >= '0' + Picture::blockCount)
        return CommandOutcome::refused;
    std::array<uint8_t, Picture::blockBytes> bytes{};
    for (size_t i = 0; i < bytes.size(); ++i) {
        const int high = hexValue(argument[1 + 2 * i]);
        const int low = hexValue(argument[2 + 2 * i]);
        if (high < 0 || low < 0)
            return CommandOutcome::refused;
        bytes[i] = static_cast<uint8_t>(high * 16 + low);
    }
    state.picture.applyBlock(argument[0] - '0', bytes);
    return CommandOutcome::applied;
}

CommandOutcome setClock(ReaderState& state, const std::string& argument)
{
    if (argument.size() != 14 || !allDigits(argument))
        return CommandOutcome::refused;
    state.clock = argument;
    return CommandOutcome::applied;
}

} // namespace

void ReaderState::resetToFactory()
{
    ReaderState factory;
    factory.serial = serial;
    factory.version = version;
    factory.clock = clock;
    *this = factory;
}

CommandOutcome applyCommand(ReaderState& state, const std::string& code, const std::string& argument)
{
    if (code == "AS" || code == "AV")
        return argument.empty() ? CommandOutcome::query : CommandOutcome::refused;
    if (code == "AD")
        return setIdentifier(state, argument);
    if (code == "AE")
        return setLine(state, argument);
    if (code == "AI") {
        if (!argument.empty())
            return CommandOutcome::refused;
        state.resetToFactory();
        return CommandOutcome::applied;
    }
    if (code == "BD")
        return setChoice(state.hourMode, argument, "01");
    if (code == "AA")
        return setClock(state, argument);
    if (code == "BC")
        return setChoice(state.language, argument, "012");
    if (code == "BF")
        return setText(state.password, argument, 4);
    if (code == "BE")
        return setChoice(state.volume, argument, "0123456789");
    if (code == "AH")
        return setChoice(state.cardType, argument, "01");
    if (code == "BH")
        return setText(state.backlight, argument, 3);
    if (code == "BJ")
        return setText(state.workTime, argument, 3);
    if (code == "AG")
        return setChoice(state.idleScreen, argument, "01");
    if (code == "BA")
        return setTitle(state, argument);
    if (code == "BI")
        return setText(state.showMessage, argument, 255);
    if (code == "BB")
        return setPictureBlock(state, argument);
    return CommandOutcome::unknown;
}

} // namespace tempik::sim
