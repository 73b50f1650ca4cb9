// Frame codec and CRC-16/ARC: the exact bytes on the wire and the reply check.
#include "link/frame.h"
#include "tests/support/fake_device.h"

#include <gtest/gtest.h>

namespace tempik {
namespace {

using testing::bytesOf;

TEST(Frame, RequestFramesAreByteExact)
{
    const std::vector<uint8_t> status = {0x01, 0x30, 0x30, 0x30, 0x30, 0x41, 0x53, 0x02, 0x31, 0x45, 0x35, 0x36, 0x0D};
    const std::vector<uint8_t> version = {0x01, 0x30, 0x30, 0x30, 0x30, 0x41, 0x56, 0x02, 0x34, 0x45, 0x35, 0x35, 0x0D};
    EXPECT_EQ(buildRequestFrame("0000AS"), status);
    EXPECT_EQ(buildRequestFrame("0000AV"), version);
    EXPECT_EQ(requestCrc(reinterpret_cast<const uint8_t*>("0000AS"), 6), 0x1E56);
    EXPECT_EQ(requestCrc(reinterpret_cast<const uint8_t*>("0000AV"), 6), 0x4E55);
}

TEST(Frame, CrcIsArc)
{
    const std::vector<uint8_t> abc = bytesOf("abc");
    EXPECT_EQ(crc16Frame(abc.data(), abc.size()), 0x9738);
    const std::vector<uint8_t> check = bytesOf("123456789");  // the catalogue's check value
    EXPECT_EQ(crc16Frame(check.data(), check.size()), 0xBB3D);
    EXPECT_EQ(crc16Frame(nullptr, 0), 0x0000);
}

TEST(Frame, TablesHoldTheReflectedEntries)
{
    const std::array<uint8_t, 8> low = {0x00, 0xC1, 0x81, 0x40, 0x01, 0xC0, 0x80, 0x41};
    const std::array<uint8_t, 8> high = {0x00, 0xC0, 0xC1, 0x01, 0xC3, 0x03, 0x02, 0xC2};
    for (size_t k = 0; k < 8; ++k) {
        EXPECT_EQ(crcLowTable[k], low[k]) << k;
        EXPECT_EQ(crcHighTable[k], high[k]) << k;
    }
    // Entry 255 of the table for 0xA001 is 0x4040.
    EXPECT_EQ(crcLowTable[255], 0x40);
    EXPECT_EQ(crcHighTable[255], 0x40);
}

TEST(Frame, HexPairIsUpperCaseHighNibbleFirst)
{
    const struct {
        uint8_t value;
        const char* text;
    } rows[] = {{0x00, "00"}, {0x09, "09"}, {0x0A, "0A"}, {0x1E, "1E"}, {0x9F, "9F"}, {0xA0, "A0"}, {0xFF, "FF"}};
    for (const auto& row : rows)
        EXPECT_EQ(hexPair(row.value), row.text) << int(row.value);
}

struct ReplyCheckRow {
    const char* name;
    std::vector<uint8_t> buffer;
    bool matches;
};

std::vector<uint8_t> withLowerCaseDigits(std::vector<uint8_t> frame)
{
    for (size_t i = frame.size() - 5; i < frame.size() - 1; ++i)
        frame[i] = static_cast<uint8_t>(std::tolower(frame[i]));
    return frame;
}

// A frame whose data hold an EOT: the check covers only the bytes through that first EOT and
// is read from the four bytes after it.
std::vector<uint8_t> frameCheckedAtInnerEot()
{
    std::vector<uint8_t> head = {ETX, 'a', 'b', EOT};
    const std::string digits = checkDigits(head.data(), head.size());
    head.insert(head.end(), digits.begin(), digits.end());
    const std::vector<uint8_t> tail = {'x', EOT, '0', '0', '0', '0', CR};
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

TEST(Frame, ReplyCheck)
{
    // "0000OK" checks as 8E8B: letters in the digits, so lower case makes a difference.
    const std::vector<uint8_t> good = buildReplyFrame("0000OK");
    ASSERT_NE(withLowerCaseDigits(good), good);
    std::vector<uint8_t> noEot = good;
    noEot[7] = 'x';
    const std::vector<ReplyCheckRow> rows = {
        {"good", good, true},
        {"lower-case digits", withLowerCaseDigits(good), false},
        {"one digit wrong", [&] { auto f = good; f[f.size() - 2] ^= 1; return f; }(), false},
        {"no EOT", noEot, false},
        {"EOT inside data, check over the bytes before it", frameCheckedAtInnerEot(), true},
        {"EOT inside data, check over the whole frame", buildReplyFrame(std::string("ab\x04") + "cdef"), false},
        {"EOT at the very end, digits cut off", {ETX, 'a', 'b', 'c', 'd', EOT, '1'}, false},
    };
    for (const ReplyCheckRow& row : rows) {
        std::vector<uint8_t> buffer = row.buffer;
        EXPECT_EQ(replyCrcMatches(buffer.data(), buffer.size()), row.matches) << row.name;
        buffer.resize(1024, 0);  // as the exchange's zeroed reply buffer holds it
        EXPECT_EQ(replyCrcMatches(buffer.data(), buffer.size()), row.matches) << row.name << " (in 1024 bytes)";
    }
}

} // namespace
} // namespace tempik
