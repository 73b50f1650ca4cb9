#pragma once
// Faults the simulated reader shows on request, so the tool's error paths can be tried: silence
// for some commands or the first requests, late replies, noise before a reply, broken check
// digits, a status reply of the wrong length, no version reply.
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace tempik::sim {

struct FaultOptions {
    std::set<std::string> silentOn;        // command codes never answered (nor applied)
    unsigned silentFirst = 0;              // the first N requests are not answered (nor applied)
    unsigned delayMs = 0;                  // every reply goes out this much later
    unsigned noise = 0;                    // bytes of noise before every reply
    bool badCheck = false;                 // check digits of a wrong value
    bool lowercaseCheck = false;           // check digits in lower case
    std::optional<unsigned> statusLength;  // whole status reply length in bytes (21 is right)
    bool noVersion = false;                // the version query is not answered
};

// count noise bytes: every value but ETX, EOT and CR, which would frame a reply; the same
// bytes on every call, and among them XON, XOFF, SOH and STX.
std::vector<uint8_t> noiseBytes(unsigned count);

} // namespace tempik::sim
