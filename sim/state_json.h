#pragma once
// The reader's state as a JSON document, and writing it so that a reader of the file never sees
// half of it. Text values are bytes: printable ASCII stands as it is, every other byte as \u00XX
// (its value), so the exact bytes the tool sent can be read back.
#include "sim/reader_state.h"

#include <string>

namespace tempik::sim {

// A JSON string literal (quotes included) holding bytes as described above.
std::string jsonBytes(const std::string& bytes);

std::string stateToJson(const ReaderState& state);

// Writes text to path through a temporary file in the same folder and a rename. On failure
// returns false with a message in error.
bool writeFileAtomically(const std::string& path, const std::string& text, std::string& error);

} // namespace tempik::sim
