// Reassembly and checking of request frames in the simulated reader.
#include "link/frame.h"
#include "sim/request_parser.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

namespace tempik::sim {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

Bytes text(const std::string& s)
{
    return Bytes(s.begin(), s.end());
}

std::vector<std::string> feedAll(const Bytes& bytes)
{
    RequestParser parser;
    std::vector<std::string> payloads;
    for (uint8_t b : bytes)
        if (auto p = parser.feed(b))
            payloads.push_back(*p);
    return payloads;
}

Bytes withCheck(const std::string& payload, const std::string& check)
{
    return Bytes{SOH} + text(payload) + Bytes{STX} + text(check) + Bytes{CR};
}

struct Row : testing::NamedRow {
    Bytes bytes;
    std::vector<std::string> payloads;
};

class RequestParserTest : public ::testing::TestWithParam<Row> {};

TEST_P(RequestParserTest, YieldsExactlyTheGoodPayloads)
{
    EXPECT_EQ(feedAll(GetParam().bytes), GetParam().payloads);
}

const std::string longest(255, 'x');

INSTANTIATE_TEST_SUITE_P(
    Frames, RequestParserTest,
    ::testing::Values(
        Row{"StatusQueryByteExact",
            {0x01, 0x30, 0x30, 0x30, 0x30, 0x41, 0x53, 0x02, 0x31, 0x45, 0x35, 0x36, 0x0D},
            {"0000AS"}},
        Row{"VersionQueryByteExact",
            {0x01, 0x30, 0x30, 0x30, 0x30, 0x41, 0x56, 0x02, 0x34, 0x45, 0x35, 0x35, 0x0D},
            {"0000AV"}},
        Row{"LowerCaseCheckDigits", withCheck("0000AV", "4e55"), {}},
        Row{"WrongCheckDigits", withCheck("0000AS", "1E57"), {}},
        Row{"NoiseBeforeTheFrame", Bytes{0x11, 0x13, 0x03, 0x0D, 0x04} + buildRequestFrame("0000AS"),
            {"0000AS"}},
        Row{"OtherByteInPlaceOfCr", withCheck("0000AS", "1E56X") + buildRequestFrame("0000AV"),
            {"0000AV"}},
        Row{"CheckCutShortByCr", withCheck("0000AS", "1E5") + buildRequestFrame("0000AV"),
            {"0000AV"}},
        Row{"SohRestartsABrokenFrame", Bytes{SOH} + text("0000A") + buildRequestFrame("0000AS"),
            {"0000AS"}},
        Row{"CrInsideThePayload", Bytes{SOH} + text("00") + Bytes{CR} + text("00AS") + Bytes{STX} +
                                      text("1E56") + Bytes{CR},
            {}},
        Row{"EmptyPayload", withCheck("", "0000"), {}},
        Row{"ControlBytesInPayload", buildRequestFrame("0000BI\x03\x11\x13!"), {"0000BI\x03\x11\x13!"}},
        Row{"LongestPayload", buildRequestFrame(longest), {longest}},
        Row{"PayloadTooLong", buildRequestFrame(longest + "x") + buildRequestFrame("0000AS"),
            {"0000AS"}},
        Row{"BackToBack", buildRequestFrame("0000AS") + buildRequestFrame("0000BF1234"),
            {"0000AS", "0000BF1234"}}),
    testing::rowName);

TEST(RequestParser, CountsDroppedFrames)
{
    RequestParser parser;
    for (uint8_t b : withCheck("0000AS", "1E57") + withCheck("0000AS", "1e56"))
        parser.feed(b);
    EXPECT_EQ(parser.dropped(), 2u);
}

} // namespace
} // namespace tempik::sim
