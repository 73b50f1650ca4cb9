#pragma once
// The reader's side of one exchange: takes a checked request payload, applies it to the state
// and builds the reply frame, with the faults asked for.
//
// Reply data (positions as the tool counts them, 1 being the ETX):
//   2-5  identifier, 6-7 "00" (filler; see lowercase check below), then
//   status  (AS): the 8-character serial number               -> 21 bytes
//   version (AV): the 8-character version                     -> 21 bytes
//   others      : the command code and "OK" (taken) or "NG" (refused or unknown) -> 17 bytes
// With the lower-case check fault the filler may be another pair of digits, chosen so that the
// check text holds a letter (otherwise lower case would change nothing).
#include "sim/fault_options.h"
#include "sim/reader_state.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tempik::sim {

struct Response {
    bool answered = false;         // false: silence
    bool stateChanged = false;     // a setting was applied: write the state file
    std::vector<uint8_t> bytes;    // noise, then the reply frame
    std::string summary;           // one line for the log
};

class Responder {
public:
    Responder(ReaderState& state, FaultOptions faults) : state_(state), faults_(std::move(faults)) {}

    // payload: the text between SOH and STX of a good request at the reader's speed.
    Response handle(const std::string& payload);

    // Frames a reply of the given data with the check faults applied.
    std::vector<uint8_t> frame(const std::string& data) const;

    const FaultOptions& faults() const { return faults_; }

private:
    std::string replyData(const std::string& code, CommandOutcome outcome) const;
    ReaderState& state_;
    FaultOptions faults_;
    unsigned long heard_ = 0;
};

} // namespace tempik::sim
