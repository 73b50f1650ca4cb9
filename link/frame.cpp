#include "link/frame.h"

namespace tempik {

namespace {

constexpr uint16_t reflectedEntry(unsigned k)
{
    uint16_t value = static_cast<uint16_t>(k);
    for (int shift = 0; shift < 8; ++shift)
        value = (value & 1u) ? static_cast<uint16_t>((value >> 1) ^ 0xA001u) : static_cast<uint16_t>(value >> 1);
    return value;
}

constexpr std::array<uint8_t, 256> makeTable(bool high)
{
    std::array<uint8_t, 256> table{};
    for (unsigned k = 0; k < 256; ++k) {
        const uint16_t entry = reflectedEntry(k);
        table[k] = static_cast<uint8_t>(high ? entry >> 8 : entry & 0xFFu);
    }
    return table;
}

struct CrcState {
    uint8_t lo = 0;
    uint8_t hi = 0;

    void add(uint8_t x)
    {
        const uint8_t k = x ^ lo;
        lo = crcLowTable[k] ^ hi;
        hi = crcHighTable[k];
    }
    uint16_t value() const { return static_cast<uint16_t>(hi << 8 | lo); }
};

char hexDigit(unsigned nibble)
{
    return static_cast<char>(nibble <= 9 ? 0x30 + nibble : 0x37 + nibble);
}

} // namespace

const std::array<uint8_t, 256> crcLowTable = makeTable(false);
const std::array<uint8_t, 256> crcHighTable = makeTable(true);

uint16_t crc16Frame(const uint8_t* bytes, size_t count)
{
    CrcState state;
    for (size_t i = 0; i < count; ++i)
        state.add(bytes[i]);
    return state.value();
}

std::string hexPair(uint8_t value)
{
    return {hexDigit(value >> 4), hexDigit(value & 0x0Fu)};
}

uint16_t requestCrc(const uint8_t* payload, size_t n)
{
    CrcState state;
    state.add(SOH);
    for (size_t i = 0; i < n; ++i)
        state.add(payload[i]);
    state.add(STX);
    return state.value();
}

std::string checkDigits(uint16_t check)
{
    return hexPair(static_cast<uint8_t>(check >> 8)) + hexPair(static_cast<uint8_t>(check & 0xFFu));
}

std::string checkDigits(const uint8_t* bytes, size_t count)
{
    return checkDigits(crc16Frame(bytes, count));
}

std::string requestCheckDigits(const uint8_t* payload, size_t n)
{
    return checkDigits(requestCrc(payload, n));
}

bool replyCrcMatches(const uint8_t* buffer, size_t bufferSize)
{
    CrcState state;
    size_t i = 0;
    for (; i < bufferSize; ++i) {
        state.add(buffer[i]);
        if (buffer[i] == EOT)
            break;
    }
    if (i >= bufferSize)
        return false;
    const std::string expected = checkDigits(state.value());
    for (size_t d = 0; d < 4; ++d) {
        const size_t at = i + 1 + d;
        if (at >= bufferSize || static_cast<char>(buffer[at]) != expected[d])
            return false;
    }
    return true;
}

std::vector<uint8_t> buildRequestFrame(const std::string& payload)
{
    std::vector<uint8_t> frame;
    frame.reserve(payload.size() + 7);
    frame.push_back(SOH);
    frame.insert(frame.end(), payload.begin(), payload.end());
    frame.push_back(STX);
    const std::string check =
        requestCheckDigits(reinterpret_cast<const uint8_t*>(payload.data()), payload.size());
    frame.insert(frame.end(), check.begin(), check.end());
    frame.push_back(CR);
    return frame;
}

std::vector<uint8_t> buildReplyFrame(const std::string& data)
{
    std::vector<uint8_t> frame;
    frame.reserve(data.size() + 7);
    frame.push_back(ETX);
    frame.insert(frame.end(), data.begin(), data.end());
    frame.push_back(EOT);
    const std::string check = checkDigits(frame.data(), frame.size());
    frame.insert(frame.end(), check.begin(), check.end());
    frame.push_back(CR);
    return frame;
}

} // namespace tempik
