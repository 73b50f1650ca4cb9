#pragma once
// Line definitions ("19200,e,8,1"), the fixed list of the fourteen the tool uses, and the
// link settings of the reader last found.
#include <array>
#include <optional>
#include <string>

namespace tempik {

struct LineDefinition {
    unsigned speed = 0;   // bits per second
    char parity = 'n';    // 'n' none, 'e' even, 'o' odd, 'm' mark, 's' space
    int dataBits = 8;     // 5 to 8
    int stopBits = 1;     // 1 or 2 ("1.5" is taken as 2)
    bool oneAndHalfStopBits = false;   // "1.5": a line that has them takes them, others take 2
};

// The speeds a line may be set to: the standard ones from 110 to 230400 bits per second.
bool isStandardSpeed(unsigned bitsPerSecond);

// Parses the mode-string form "speed,parity,data,stop"; nullopt when it does not parse.
std::optional<LineDefinition> parseLineDefinition(const std::string& text);

constexpr int lineDefinitionCount = 14;
constexpr int factoryLineDefinitionIndex = 5;
extern const std::array<const char*, lineDefinitionCount> lineDefinitions;

// A stored index outside 0..13 must never read past the list: it counts as the factory index.
int lineDefinitionIndexOrDefault(int index);

// Argument of the line speed command: "0".."9", then "A".."D" for 10..13.
char lineSpeedArgument(int index);

// Index of a definition text in lineDefinitions, or -1.
int lineDefinitionIndexOf(const std::string& text);

struct LinkSettings {
    int ScanCommNo = 0;                        // 0: no port known
    std::string ScanBaudRate = "19200,e,8,1";
    int ScanBaudRateNo = factoryLineDefinitionIndex;
};

} // namespace tempik
