#pragma once
// Frame format of the reader protocol and its check, CRC-16/ARC computed with two 256-byte
// tables. Request: SOH payload STX c c c c CR. Reply: ETX data EOT c c c c CR.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace tempik {

constexpr uint8_t SOH = 0x01;
constexpr uint8_t STX = 0x02;
constexpr uint8_t ETX = 0x03;
constexpr uint8_t EOT = 0x04;
constexpr uint8_t CR = 0x0D;

// Low and high bytes of the bit-reflected CRC-16 table for 0xA001.
extern const std::array<uint8_t, 256> crcLowTable;
extern const std::array<uint8_t, 256> crcHighTable;

// Check over bytes, starting from state 0 (hi * 256 + lo).
uint16_t crc16Frame(const uint8_t* bytes, size_t count);

// Two upper-case hexadecimal characters, high nibble first.
std::string hexPair(uint8_t value);

// Check of SOH, the n payload bytes and STX.
uint16_t requestCrc(const uint8_t* payload, size_t n);

// The four check digits of a frame as they go on the wire: the check in upper-case
// hexadecimal, high byte first. Every sender and judge of frames renders them here.
std::string checkDigits(uint16_t check);
// The check digits of the check over bytes (a reply frame: ETX through its first EOT).
std::string checkDigits(const uint8_t* bytes, size_t count);
// The check digits of a request: over SOH, the n payload bytes and STX.
std::string requestCheckDigits(const uint8_t* payload, size_t n);

// True when the four bytes after the first EOT in buffer equal the hexadecimal text of the
// check over buffer[0] through that EOT. Exact: lower-case digits do not match.
bool replyCrcMatches(const uint8_t* buffer, size_t bufferSize);

// Whole frames, for the simulated reader and the tests.
std::vector<uint8_t> buildRequestFrame(const std::string& payload);
std::vector<uint8_t> buildReplyFrame(const std::string& data);

} // namespace tempik
