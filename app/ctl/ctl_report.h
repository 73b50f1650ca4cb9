#pragma once
// How tempikctl prints: the frame trace on standard error, and the result as text or JSON.
#include "link/reader_link.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tempik::ctl {

// "[  12.345 ms] > 01 30 30 ...  |.0000AS.1E56.|"
std::string traceLine(double milliseconds, ReaderLink::Direction direction, const std::vector<uint8_t>& bytes);

// A JSON string that is valid UTF-8 whatever it is given: a byte that is no part of valid UTF-8
// (a file name in another encoding) becomes the character of its number, \u00XX.
std::string jsonString(const std::string& utf8);
// Text from outside (the reader's fields, a path) made safe for a terminal: control characters
// (C0, DEL, C1) and bytes that are no part of valid UTF-8 are shown as \xNN.
std::string terminalText(const std::string& utf8);

// Ordered members of a JSON object whose values are already JSON.
using Report = std::vector<std::pair<std::string, std::string>>;
// {"a":"b",...} from ordered pairs whose values are already JSON.
std::string jsonObject(const std::vector<std::pair<std::string, std::string>>& members);

// The part of a panel text after its " : " ("S/N : 12345678" gives "12345678").
std::string panelValue(const std::string& panelText);

} // namespace tempik::ctl
