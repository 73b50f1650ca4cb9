// The simulated reader's replies: their layout, and each fault it shows on request.
#include "link/frame.h"
#include "sim/responder.h"

#include <gtest/gtest.h>

namespace tempik::sim {
namespace {

std::string asText(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

bool goodFrame(const std::vector<uint8_t>& frame)
{
    return !frame.empty() && frame.front() == ETX && frame.back() == CR &&
           replyCrcMatches(frame.data(), frame.size());
}

TEST(Replies, StatusCarriesIdentifierAndSerialAt2And8)
{
    ReaderState state;
    state.identifier = "0042";
    state.serial = "SN-12345";
    Responder responder(state, {});
    const Response r = responder.handle("0000AS");
    ASSERT_TRUE(r.answered);
    EXPECT_FALSE(r.stateChanged);
    ASSERT_EQ(r.bytes.size(), 21u);
    EXPECT_TRUE(goodFrame(r.bytes));
    const std::string text = asText(r.bytes);
    EXPECT_EQ(text.substr(1, 4), "0042");   // positions 2-5
    EXPECT_EQ(text.substr(5, 2), "00");
    EXPECT_EQ(text.substr(7, 8), "SN-12345");   // positions 8-15
    EXPECT_EQ(r.bytes[15], EOT);
}

TEST(Replies, VersionAt8)
{
    ReaderState state;
    state.version = "01.40-01";
    Responder responder(state, {});
    const Response r = responder.handle("0000AV");
    ASSERT_TRUE(r.answered);
    EXPECT_TRUE(goodFrame(r.bytes));
    EXPECT_EQ(asText(r.bytes).substr(7, 8), "01.40-01");
}

TEST(Replies, CommandsAreAcknowledgedTakenOrRefused)
{
    ReaderState state;
    Responder responder(state, {});
    Response taken = responder.handle("0000BF1234");
    EXPECT_TRUE(taken.stateChanged);
    EXPECT_TRUE(goodFrame(taken.bytes));
    EXPECT_EQ(asText(taken.bytes), asText(buildReplyFrame("000100BFOK")));

    Response refused = responder.handle("0000AD999999990042");
    EXPECT_FALSE(refused.stateChanged);
    EXPECT_EQ(asText(refused.bytes), asText(buildReplyFrame("000100ADNG")));
    EXPECT_EQ(state.identifier, "0001");

    // The acknowledgement of a new identifier already carries it.
    Response renamed = responder.handle("0000AD202612080042");
    EXPECT_EQ(asText(renamed.bytes), asText(buildReplyFrame("004200ADOK")));
}

// An unknown code is echoed, but never a byte that frames a reply: each row's payload reaches
// the responder as a good request (the first row is the fuzzer's, from fuzz/seeds).
TEST(Replies, UnknownCodeWithFramingBytesStaysOneFrame)
{
    const struct {
        const char* name;
        std::string payload;
        std::string data;
    } rows[] = {
        {"etx first", std::string("0000\x03" "AI", 7), "000100?ANG"},
        {"eot second", std::string("0000A\x04", 6), "000100A?NG"},
        {"eot and etx", std::string("0000\x04\x03" "1", 7), "000100??NG"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ReaderState state;
        Responder responder(state, {});
        const Response r = responder.handle(row.payload);
        ASSERT_TRUE(r.answered);
        EXPECT_FALSE(r.stateChanged);
        EXPECT_TRUE(goodFrame(r.bytes));
        EXPECT_EQ(asText(r.bytes), asText(buildReplyFrame(row.data)));
    }
}

TEST(Replies, AddressedToAnotherReaderIsIgnored)
{
    ReaderState state;   // identifier 0001
    Responder responder(state, {});
    EXPECT_FALSE(responder.handle("0042AS").answered);
    EXPECT_FALSE(responder.handle("0042BF9999").answered);
    EXPECT_EQ(state.password, "0000");
    EXPECT_TRUE(responder.handle("0001AS").answered);
    EXPECT_TRUE(responder.handle("0000AS").answered);
    EXPECT_FALSE(responder.handle("0000A").answered);
}

TEST(Faults, BadCheckDigitsAreUpperCaseButWrong)
{
    ReaderState state;
    FaultOptions faults;
    faults.badCheck = true;
    Responder responder(state, faults);
    const Response r = responder.handle("0000AS");
    ASSERT_EQ(r.bytes.size(), 21u);
    EXPECT_FALSE(replyCrcMatches(r.bytes.data(), r.bytes.size()));
    for (size_t i = 16; i < 20; ++i)
        EXPECT_TRUE(std::isdigit(r.bytes[i]) || std::isupper(r.bytes[i]));
}

TEST(Faults, LowerCaseCheckDigitsAreTheRightValueInLowerCase)
{
    // Every command of a run, so the case where the check would hold only digits comes up.
    ReaderState state;
    FaultOptions faults;
    faults.lowercaseCheck = true;
    Responder responder(state, faults);
    for (const std::string payload : {"0000AS", "0000AV", "0000BF1", "0000BF2", "0000BE3", "0000AG1",
                                      "0000BH7", "0000BJ010", "0000BC1", "0000AH0"}) {
        std::vector<uint8_t> r = responder.handle(payload).bytes;
        ASSERT_GE(r.size(), 11u) << payload;
        EXPECT_FALSE(replyCrcMatches(r.data(), r.size())) << payload;
        bool lower = false;
        for (size_t i = r.size() - 5; i < r.size() - 1; ++i) {
            lower = lower || std::islower(r[i]);
            r[i] = static_cast<uint8_t>(std::toupper(r[i]));
        }
        EXPECT_TRUE(lower) << payload;
        EXPECT_TRUE(replyCrcMatches(r.data(), r.size())) << payload;
    }
}

class StatusLengthTest : public ::testing::TestWithParam<unsigned> {};

TEST_P(StatusLengthTest, HasThatLengthAndAGoodCheck)
{
    ReaderState state;
    FaultOptions faults;
    faults.statusLength = GetParam();
    Responder responder(state, faults);
    const Response r = responder.handle("0000AS");
    EXPECT_EQ(r.bytes.size(), GetParam());
    EXPECT_TRUE(goodFrame(r.bytes));
    // Other replies keep their own length.
    EXPECT_EQ(responder.handle("0000AV").bytes.size(), 21u);
}

INSTANTIATE_TEST_SUITE_P(Lengths, StatusLengthTest, ::testing::Values(11u, 20u, 22u, 40u));

TEST(Faults, NoiseBeforeTheReplyNeverFramesIt)
{
    ReaderState state;
    FaultOptions faults;
    faults.noise = 600;
    Responder responder(state, faults);
    const Response r = responder.handle("0000AS");
    ASSERT_EQ(r.bytes.size(), 621u);
    for (size_t i = 0; i < 600; ++i)
        ASSERT_TRUE(r.bytes[i] != ETX && r.bytes[i] != EOT && r.bytes[i] != CR) << i;
    EXPECT_TRUE(goodFrame({r.bytes.begin() + 600, r.bytes.end()}));
    // Raw mode must carry flow-control bytes: they are in every noise run.
    EXPECT_EQ(r.bytes[0], 0x11);
    EXPECT_EQ(r.bytes[1], 0x13);
}

TEST(Faults, SilentFirstRequestsAreNotAppliedEither)
{
    ReaderState state;
    FaultOptions faults;
    faults.silentFirst = 2;
    Responder responder(state, faults);
    EXPECT_FALSE(responder.handle("0000BF1111").answered);
    EXPECT_FALSE(responder.handle("0000AS").answered);
    EXPECT_EQ(state.password, "0000");
    // Requests for another reader do not count.
    EXPECT_FALSE(responder.handle("0009AS").answered);
    EXPECT_TRUE(responder.handle("0000BF2222").answered);
    EXPECT_EQ(state.password, "2222");
}

TEST(Faults, SilentOnCodesAndNoVersion)
{
    ReaderState state;
    FaultOptions faults;
    faults.silentOn = {"BF", "AH"};
    faults.noVersion = true;
    Responder responder(state, faults);
    EXPECT_FALSE(responder.handle("0000BF1111").answered);
    EXPECT_FALSE(responder.handle("0000AH1").answered);
    EXPECT_FALSE(responder.handle("0000AV").answered);
    EXPECT_EQ(state.password, "0000");
    EXPECT_EQ(state.cardType, "0");
    EXPECT_TRUE(responder.handle("0000AS").answered);
    EXPECT_TRUE(responder.handle("0000BE1").answered);
}

} // namespace
} // namespace tempik::sim
