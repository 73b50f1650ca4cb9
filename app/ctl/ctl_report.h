#pragma once
// How tempikctl prints: the frame trace on standard error, and the result as text or JSON.
#include "link/reader_link.h"

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tempik::ctl {

// "[  12.345 ms] > 01 30 30 ...  |.0000AS.1E56.|"
std::string traceLine(double milliseconds, ReaderLink::Direction direction, const std::vector<uint8_t>& bytes);

// Text from outside (the reader's fields, a path) made safe for a terminal: control characters
// (C0, DEL, C1) and bytes that are no part of valid UTF-8 are shown as \xNN.
std::string terminalText(const std::string& utf8);

// One result as JSON, its members in the order they were added.
using Report = nlohmann::ordered_json;

// A text for a JSON value, however odd its bytes: jsonText stands in for each byte that valid
// UTF-8 lacks and for each control character but \n and \t, and dumpJson writes those as
// \u00XX (the byte's value), so the output is valid UTF-8 and its strings give back the bytes.
std::string jsonText(const std::string& bytes);
// The JSON text of value on one line.
std::string dumpJson(const Report& value);

// The part of a panel text after its " : " ("S/N : 12345678" gives "12345678").
std::string panelValue(const std::string& panelText);

} // namespace tempik::ctl
