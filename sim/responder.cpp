#include "sim/responder.h"

#include "link/frame.h"

#include <cctype>

namespace tempik::sim {

namespace {

constexpr size_t dataBeforeBody = 6;   // identifier and filler

bool hasLetter(const std::string& text)
{
    for (char c : text)
        if (std::isalpha(static_cast<unsigned char>(c)))
            return true;
    return false;
}

std::vector<uint8_t> assemble(const std::string& data, const std::string& check)
{
    std::vector<uint8_t> out;
    out.push_back(ETX);
    out.insert(out.end(), data.begin(), data.end());
    out.push_back(EOT);
    out.insert(out.end(), check.begin(), check.end());
    out.push_back(CR);
    return out;
}

uint16_t dataCrc(const std::string& data)
{
    std::vector<uint8_t> covered;
    covered.push_back(ETX);
    covered.insert(covered.end(), data.begin(), data.end());
    covered.push_back(EOT);
    return crc16Frame(covered.data(), covered.size());
}

} // namespace

std::vector<uint8_t> Responder::frame(const std::string& data) const
{
    std::string body = data;
    if (faults_.lowercaseCheck && body.size() >= dataBeforeBody) {
        // Try fillers "00".."99" until the check holds a letter that lower case can change.
        for (int filler = 0; filler < 100; ++filler) {
            body[4] = static_cast<char>('0' + filler / 10);
            body[5] = static_cast<char>('0' + filler % 10);
            if (hasLetter(checkDigits(dataCrc(body))))
                break;
        }
    }
    uint16_t crc = dataCrc(body);
    if (faults_.badCheck)
        crc = static_cast<uint16_t>(crc + 1);
    std::string check = checkDigits(crc);
    if (faults_.lowercaseCheck)
        for (char& c : check)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return assemble(body, check);
}

std::string Responder::replyData(const std::string& code, CommandOutcome outcome) const
{
    const std::string head = state_.identifier + "00";
    if (code == "AS" && outcome == CommandOutcome::query) {
        std::string data = head + state_.serial;
        if (faults_.statusLength) {
            // Whole frame = data + 7 bytes; cut or fill with '0' to reach the asked length.
            const size_t wanted = *faults_.statusLength >= 7 ? *faults_.statusLength - 7 : 0;
            data.resize(wanted, '0');
        }
        return data;
    }
    if (code == "AV" && outcome == CommandOutcome::query)
        return head + state_.version;
    const bool taken = outcome == CommandOutcome::applied || outcome == CommandOutcome::query;
    // The code is echoed as it came, but an unknown one may hold ETX, EOT or CR, which would cut
    // the reply into frames of their own: those bytes go back as '?'.
    std::string echoed = code;
    for (char& c : echoed)
        if (c == static_cast<char>(ETX) || c == static_cast<char>(EOT) || c == static_cast<char>(CR))
            c = '?';
    return head + echoed + (taken ? "OK" : "NG");
}

Response Responder::handle(const std::string& payload)
{
    Response response;
    // Address "0000" reaches every reader; the reader's own identifier reaches it too.
    if (payload.size() < 6) {
        response.summary = "too short, ignored";
        return response;
    }
    const std::string address = payload.substr(0, 4);
    const std::string code = payload.substr(4, 2);
    const std::string argument = payload.substr(6);
    if (address != "0000" && address != state_.identifier) {
        response.summary = "for reader " + address + ", ignored";
        return response;
    }
    ++heard_;
    if (heard_ <= faults_.silentFirst) {
        response.summary = "silent (request " + std::to_string(heard_) + " of the first " +
                           std::to_string(faults_.silentFirst) + ")";
        return response;
    }
    if (faults_.silentOn.count(code) || (code == "AV" && faults_.noVersion)) {
        response.summary = "silent on " + code;
        return response;
    }
    const CommandOutcome outcome = applyCommand(state_, code, argument);
    response.stateChanged = outcome == CommandOutcome::applied;
    response.answered = true;
    response.bytes = noiseBytes(faults_.noise);
    const auto reply = frame(replyData(code, outcome));
    response.bytes.insert(response.bytes.end(), reply.begin(), reply.end());
    switch (outcome) {
    case CommandOutcome::query: response.summary = code + " answered"; break;
    case CommandOutcome::applied: response.summary = code + " applied"; break;
    case CommandOutcome::refused: response.summary = code + " refused"; break;
    case CommandOutcome::unknown: response.summary = code + " unknown"; break;
    }
    return response;
}

} // namespace tempik::sim
