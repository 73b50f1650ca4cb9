// The simulated reader's request side: the fuzzer's bytes arrive at the request parser one by
// one, and every payload it returns goes to the responder, which changes the reader's state and
// answers.
//
// The parser is held to a plain definition: at each CR, the bytes since the last SOH are a good
// request (SOH, 1 to 255 payload bytes without NUL, STX or CR, STX, the four upper-case check
// digits, CR) exactly when the parser hands out that payload. Every reply is one frame that the
// tool's check accepts (or the same frame with the check digits broken on purpose).
#include "fuzz/fuzz_check.h"
#include "link/frame.h"
#include "sim/request_parser.h"
#include "sim/responder.h"
#include "sim/state_json.h"

#include <cstring>
#include <optional>
#include <string>
#include <vector>

using namespace tempik;

namespace {

// The payload of the request that ends at history's last byte, if it is a good one.
std::optional<std::string> referenceRequest(const std::vector<uint8_t>& history)
{
    if (history.empty() || history.back() != CR)
        return std::nullopt;
    size_t soh = history.size();
    while (soh > 0 && history[soh - 1] != SOH)
        --soh;
    if (soh == 0)
        return std::nullopt;
    const size_t start = soh - 1;   // the SOH
    const size_t length = history.size() - start;
    if (length < 8)
        return std::nullopt;
    const std::string payload(history.begin() + static_cast<long>(start + 1),
                              history.begin() + static_cast<long>(history.size() - 6));
    if (payload.size() > sim::RequestParser::maxPayload
        || payload.find_first_of(std::string("\0\x02\x0D", 3)) != std::string::npos)
        return std::nullopt;
    const std::vector<uint8_t> good = buildRequestFrame(payload);
    if (!std::equal(good.begin(), good.end(), history.begin() + static_cast<long>(start)))
        return std::nullopt;
    return payload;
}

// One reply frame: ETX, data without ETX, EOT or CR, EOT, four check digits, CR.
void checkReply(const std::vector<uint8_t>& bytes, const sim::FaultOptions& faults)
{
    FUZZ_CHECK(bytes.size() >= 7 + faults.noise);
    const uint8_t* frame = bytes.data() + faults.noise;
    const size_t length = bytes.size() - faults.noise;
    FUZZ_CHECK(frame[0] == ETX && frame[length - 6] == EOT && frame[length - 1] == CR);
    for (size_t i = 1; i < length - 6; ++i)
        FUZZ_CHECK(frame[i] != ETX && frame[i] != EOT && frame[i] != CR);
    if (!faults.badCheck && !faults.lowercaseCheck)
        FUZZ_CHECK(replyCrcMatches(frame, length));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    // Byte 0 picks the faults of the check digits and a little noise before each reply; with its
    // bit 4 set the rest is a list of payloads split at line feeds, each sent as a whole frame
    // with its right check, so that the responder sees payloads of any content.
    std::vector<uint8_t> stream;
    if (data[0] & 0x10) {
        size_t start = 1;
        for (size_t i = 1; i <= size; ++i) {
            if (i < size && data[i] != '\n')
                continue;
            const std::vector<uint8_t> frame =
                buildRequestFrame(std::string(reinterpret_cast<const char*>(data + start), i - start));
            stream.insert(stream.end(), frame.begin(), frame.end());
            start = i + 1;
        }
    } else {
        stream.assign(data + 1, data + size);
    }
    sim::FaultOptions faults;
    faults.badCheck = (data[0] & 1) != 0;
    faults.lowercaseCheck = (data[0] & 2) != 0;
    faults.noise = (data[0] >> 2) & 3;

    sim::ReaderState state;
    sim::Responder responder(state, faults);
    sim::RequestParser parser;
    std::vector<uint8_t> history;
    for (uint8_t byte : stream) {
        history.push_back(byte);
        const std::optional<std::string> payload = parser.feed(byte);
        const std::optional<std::string> expected = referenceRequest(history);
        FUZZ_CHECK(payload == expected);
        if (!payload)
            continue;
        const sim::Response response = responder.handle(*payload);
        if (response.answered)
            checkReply(response.bytes, faults);
        FUZZ_CHECK(!response.stateChanged || response.answered);
        if (response.stateChanged) {
            // The state file holds printable text only.
            const std::string json = sim::stateToJson(state);
            for (char c : json)
                FUZZ_CHECK(c == '\n' || (c >= 0x20 && c < 0x7F));
        }
    }
    return 0;
}
