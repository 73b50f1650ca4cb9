// The command exchange on the fake device and fake clock: what it accepts, what it keeps,
// when it ends, and the exact sequence of writes and pauses on the wire.
#include "link/frame.h"
#include "link/reader_link.h"
#include "tests/support/fake_device.h"
#include "tests/support/named_row.h"

#include <gtest/gtest.h>

#include <optional>

namespace tempik {
namespace {

using testing::FakeClock;
using testing::FakeDevice;
using testing::FakePortMap;
using testing::ackReply;
using testing::bytesOf;

std::vector<uint8_t> operator+(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A status reply whose check digits hold a letter, so writing them in lower case changes them.
std::vector<uint8_t> statusReplyWithLetterInCheck()
{
    for (int serial = 10000000;; ++serial) {
        const std::vector<uint8_t> frame = testing::statusReply("0042", std::to_string(serial));
        if (std::any_of(frame.end() - 5, frame.end() - 1, [](uint8_t c) { return c >= 'A'; }))
            return frame;
    }
}

std::vector<uint8_t> lowerCaseCheck(std::vector<uint8_t> frame)
{
    for (auto it = frame.end() - 5; it != frame.end() - 1; ++it)
        *it = static_cast<uint8_t>(std::tolower(*it));
    return frame;
}

class ExchangeTest : public ::testing::Test {
protected:
    // Time the request's last pause ends: open at 1000, 24 ms of pauses.
    static constexpr uint32_t requestDone = 1024;

    void SetUp() override { ASSERT_TRUE(link.openChannel(1, "19200,e,8,1")); }

    void answerWith(std::vector<uint8_t> bytes)
    {
        device.responder = [bytes](const std::string&, const std::string&, const std::string&) { return bytes; };
    }

    // One accepted reply first, so that "replyText unchanged" means something.
    void primeReplyText()
    {
        answerWith(previousReply);
        ASSERT_TRUE(link.sendCommand("0000AV", true));
        ASSERT_EQ(link.replyText(), testing::bytesText(previousReply));
        device.events.clear();
        clock.sleeps.clear();
        clock.set(1000);
    }

    FakeClock clock{1000};
    FakeDevice device{clock};
    FakePortMap ports;
    ReaderLink link{device, clock, ports};
    const std::vector<uint8_t> previousReply = testing::versionReply();
};

struct ReplyCase : testing::NamedRow {
    std::vector<uint8_t> bytes;   // what the reader sends after the request
    bool result;
    size_t replyLength;
    std::optional<std::vector<uint8_t>> replyText;  // nullopt: the previous reply stays
    bool waitsForDeadline;        // else it ends at the last byte, without waiting
};

class ReplyCases : public ExchangeTest, public ::testing::WithParamInterface<ReplyCase> {};

TEST_P(ReplyCases, JudgedByMarkersAndCheck)
{
    const ReplyCase& row = GetParam();
    primeReplyText();
    answerWith(row.bytes);
    EXPECT_EQ(link.sendCommand("0000AS", true), row.result);
    EXPECT_EQ(link.replyLength(), row.replyLength);
    EXPECT_EQ(bytesOf(link.replyText()), row.replyText.value_or(previousReply));
    EXPECT_EQ(clock.nowMs() - requestDone, row.waitsForDeadline ? 121u : 0u) << "ended at the wrong time";
}

const std::vector<uint8_t> goodStatus = testing::statusReply();
const std::vector<uint8_t> letterStatus = statusReplyWithLetterInCheck();
const std::vector<uint8_t> threeDataBytes = buildReplyFrame("abc");
const std::vector<uint8_t> eotInData = buildReplyFrame(std::string("00\x04") + "0042OK");
const std::vector<uint8_t> frameWithoutEot = {ETX, '0', '0', '4', '2', 'O', 'K', '1', '2', '3', '4', CR};

// A later EOT satisfies the marks while the check is taken at the first one, after only two
// data bytes: 21 bytes long, it would pass for a status reply. Its first 8 bytes are the frame
// of "ab" with its right check.
std::vector<uint8_t> shortFrameThenLaterEot()
{
    const std::vector<uint8_t> ab = buildReplyFrame("ab");
    return std::vector<uint8_t>(ab.begin(), ab.end() - 1) + bytesOf("123456\x04" "ABCDE\r");
}

// What fuzz_reply found: two data bytes before the first EOT, their right check, then noise
// with a second EOT before the CR.
const std::vector<uint8_t> fuzzShortFrame = {
    0x03, 0x30, 0x63, 0x04, 0x37, 0x38, 0x32, 0x39, 0xff, 0x0f, 0x00, 0x00, 0x00, 0x00, 0x30, 0x63, 0x04, 0x43,
    0x31, 0x32, 0x31, 0xff, 0x0f, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x42, 0xe5, 0x35, 0x0d};

// An unfinished frame leaves its EOT and check digits in the buffer; the next ETX starts over
// but keeps the EOT mark, so a bare "ETX CR" passes the marks. The digits are made to be the
// check of the buffer as it then stands (ETX, CR, the zero stored after it, y, z, EOT): only a
// check that reads past the frame's CR could accept it.
std::vector<uint8_t> frameOverLeftOverEot()
{
    const std::vector<uint8_t> judged = {ETX, CR, 0, 'y', 'z', EOT};
    const std::string digits = checkDigits(judged.data(), judged.size());
    return bytesOf("\x03wxyz\x04" + digits + "q\x03\r");
}

// The frame length is frame size; 8-bit marks would lose an EOT at 256 and at 260.
const std::vector<uint8_t> reply261 = buildReplyFrame(std::string(254, 'D'));
const std::vector<uint8_t> reply265 = buildReplyFrame(std::string(258, 'D'));
const std::vector<uint8_t> reply507 = buildReplyFrame(std::string(500, 'D'));

INSTANTIATE_TEST_SUITE_P(
    Exchange, ReplyCases,
    ::testing::Values(
        ReplyCase{"GoodStatusReply", goodStatus, true, 21, goodStatus, false},
        ReplyCase{"NoiseBeforeEtxIsDropped", bytesOf("zz\x11\x13\x04") + goodStatus, true, 21, goodStatus, false},
        ReplyCase{"LeftOverFrameBeforeEtxIsDropped", bytesOf("\x03" "0000") + goodStatus, true, 21, goodStatus, false},
        ReplyCase{"CrBeforeAnyEtxEndsAtOnce", bytesOf("ab\r") + goodStatus, false, 3, std::nullopt, false},
        ReplyCase{"ThreeDataBytesFailMarkerRule", threeDataBytes, false, 10, std::nullopt, false},
        ReplyCase{"FourDataBytesPassMarkerRule", buildReplyFrame("abcd"), true, 11, buildReplyFrame("abcd"), false},
        ReplyCase{"NoEot", frameWithoutEot, false, 12, std::nullopt, false},
        ReplyCase{"LowerCaseCheckRejectedButKept", lowerCaseCheck(letterStatus), false, 21, lowerCaseCheck(letterStatus), false},
        ReplyCase{"EotInDataEndsTheCheckedPart", eotInData, false, eotInData.size(), eotInData, false},
        ReplyCase{"ZeroByteCutsReplyText", buildReplyFrame(std::string("ab\0cd", 5)), true, 12, bytesOf("\x03" "ab"), false},
        ReplyCase{"BufferLimitWithoutCr", std::vector<uint8_t>(1024, 'x'), false, 0, std::nullopt, false},
        ReplyCase{"BufferLimitAfterEtx", bytesOf("\x03") + std::vector<uint8_t>(1023, 'x'), false, 0, std::nullopt, false},
        ReplyCase{"NoReply", {}, false, 0, std::nullopt, true},
        ReplyCase{"ReplyWithoutCrWaitsForDeadline", {goodStatus.begin(), goodStatus.end() - 1}, false, 20, std::nullopt, true},
        ReplyCase{"EotAt256thByte", reply261, true, 261, reply261, false},
        ReplyCase{"EotAt260thByte", reply265, true, 265, reply265, false},
        ReplyCase{"ReplyOf507Bytes", reply507, true, 507, reply507, false},
        ReplyCase{"FirstEotAfterTwoDataBytesFailsDespiteLaterEot", shortFrameThenLaterEot(), false, 21,
                  shortFrameThenLaterEot(), false},
        ReplyCase{"FuzzShortFrameWithSecondEot", fuzzShortFrame, false, 36,
                  std::vector<uint8_t>(fuzzShortFrame.begin(), fuzzShortFrame.begin() + 10), false},
        ReplyCase{"CheckNeverReadsPastTheFramesCr", frameOverLeftOverEot(), false, 2, bytesOf("\x03\r"), false}),
    testing::rowName);

TEST_F(ExchangeTest, RequestIsPacedByteBlockByte)
{
    ASSERT_TRUE(link.sendCommand("0000AS", false));
    struct Write {
        uint32_t at;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Write> expected = {
        {1000, {SOH}}, {1002, bytesOf("0000AS")}, {1012, {STX}}, {1014, {'1'}},
        {1016, {'E'}}, {1018, {'5'}},             {1020, {'6'}}, {1022, {CR}},
    };
    std::vector<Write> written;
    for (const auto& event : device.events)
        if (event.kind == testing::DeviceEvent::write)
            written.push_back({event.timeMs, event.bytes});
    ASSERT_EQ(written.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(written[i].at, expected[i].at) << "write " << i;
        EXPECT_EQ(written[i].bytes, expected[i].bytes) << "write " << i;
    }
    // Seven single bytes at 2 ms and the block at 10 ms: 24 ms of pauses, each after its write.
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{2, 10, 2, 2, 2, 2, 2, 2}));
}

TEST_F(ExchangeTest, WithoutReplySpinsTenMillisecondsAndTouchesNoReply)
{
    primeReplyText();
    int pumped = 0;
    link.setMessagePump([&] { ++pumped; });
    device.pendingInput = goodStatus;  // even a waiting reply is not read
    answerWith(goodStatus);
    EXPECT_TRUE(link.sendCommand("0000CA", false));
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{2, 10, 2, 2, 2, 2, 2, 2}));
    EXPECT_EQ(clock.nowMs(), requestDone + 10);  // the spin, not a sleep
    EXPECT_EQ(link.replyLength(), 0u);
    EXPECT_EQ(bytesOf(link.replyText()), previousReply);
    EXPECT_EQ(pumped, 0) << "the spin does not process messages";
}

TEST_F(ExchangeTest, NoReplyEndsAtTheFirstEmptyReadPast120ms)
{
    int pumped = 0;
    link.setMessagePump([&] { ++pumped; });
    // Started 40 ms before the clock wraps: the wait neither ends at once nor lasts for days.
    const uint32_t start = 0xFFFFFFFFu - 39;
    clock.set(start);
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_EQ(clock.nowMs() - (start + 24), 121u);
    EXPECT_EQ(pumped, 121) << "messages are processed after every empty read";
}

TEST_F(ExchangeTest, MessagesAreProcessedOnlyBetweenEmptyReads)
{
    int pumped = 0;
    link.setMessagePump([&] { ++pumped; });
    answerWith(goodStatus);
    EXPECT_TRUE(link.sendCommand("0000AS", true));
    EXPECT_EQ(pumped, 0);
}

TEST_F(ExchangeTest, GoneDeviceEndsTheWaitAndNothingIsWrittenUntilTheNextOpen)
{
    device.pendingInput = goodStatus;   // bytes a server sent before it went
    device.gone = true;
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_EQ(clock.nowMs() - requestDone, 1u);
    EXPECT_EQ(link.lastFailure(), DeviceFailure::gone);
    device.events.clear();
    EXPECT_FALSE(link.sendCommand("0000BE3", false));
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_TRUE(device.events.empty());
}

// A reply that came after its own wait (here: before this request) is not this request's reply.
TEST_F(ExchangeTest, InputFromBeforeTheRequestIsDiscarded)
{
    device.pendingInput = ackReply();
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    answerWith(goodStatus);
    device.pendingInput = ackReply();
    ASSERT_TRUE(link.openChannel(1, "19200,e,8,1"));
    EXPECT_TRUE(link.sendCommand("0000AS", true));
    EXPECT_EQ(link.replyLength(), goodStatus.size());
}

TEST_F(ExchangeTest, FloodWithoutCrEndsAtTheDeadlineAndTheTraceIsCut)
{
    std::vector<uint8_t> flood;
    while (flood.size() < 100'000)
        flood.insert(flood.end(), {ETX, 'x', EOT, 'y', 'y'});
    answerWith(flood);
    device.bytesPerMs = 100;
    size_t traced = 0;
    link.setFrameObserver([&](ReaderLink::Direction d, const std::vector<uint8_t>& bytes) {
        if (d == ReaderLink::Direction::received)
            traced = bytes.size();
    });
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_EQ(clock.nowMs() - requestDone, 121u);
    EXPECT_EQ(traced, ReaderLink::traceLimit);
}

TEST_F(ExchangeTest, PayloadIsCountedToItsFirstZeroAndLimitedTo255)
{
    answerWith(goodStatus);
    EXPECT_TRUE(link.sendCommand(std::string("0000AS\0junk", 11), true));
    EXPECT_EQ(device.requests(), std::vector<std::string>{"0000AS"});

    device.events.clear();
    EXPECT_TRUE(link.sendCommand("0000" + std::string(251, 'T'), false));
    EXPECT_EQ(device.requests().size(), 1u);
    device.events.clear();
    EXPECT_FALSE(link.sendCommand("0000" + std::string(252, 'T'), false)) << "a 256-byte payload is outside the format";
    EXPECT_TRUE(device.events.empty());
}

TEST_F(ExchangeTest, EachExchangeStartsFromAnEmptyBuffer)
{
    answerWith(reply507);
    ASSERT_TRUE(link.sendCommand("0000AS", true));
    answerWith({});
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    for (uint8_t b : link.ReplyBuffer())
        ASSERT_EQ(b, 0);
}

TEST_F(ExchangeTest, ObserverSeesTheRequestAndEveryByteReceived)
{
    std::vector<std::pair<ReaderLink::Direction, std::vector<uint8_t>>> seen;
    link.setFrameObserver([&](ReaderLink::Direction d, const std::vector<uint8_t>& bytes) { seen.emplace_back(d, bytes); });
    const std::vector<uint8_t> received = bytesOf("zz") + goodStatus;
    answerWith(received);
    ASSERT_TRUE(link.sendCommand("0000AS", true));
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].first, ReaderLink::Direction::sent);
    EXPECT_EQ(seen[0].second, buildRequestFrame("0000AS"));
    EXPECT_EQ(seen[1].first, ReaderLink::Direction::received);
    EXPECT_EQ(seen[1].second, received);
}

TEST(ReaderLinkChannel, FailedOpenIsNotFollowedByClose)
{
    FakeClock clock;
    FakeDevice device(clock);
    FakePortMap ports;
    ports.ports = {3};
    device.refusing["COM3"] = DeviceFailure::busy;
    ReaderLink link(device, clock, ports);

    EXPECT_FALSE(link.openChannel(4, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::noSuchPort);
    EXPECT_FALSE(link.openChannel(3, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::busy);
    link.closeChannel();
    EXPECT_EQ(device.wire(), (std::vector<std::string>{"open-failed COM3"}));

    device.refusing.clear();
    ASSERT_TRUE(link.openChannel(3, "9600,n,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::none);
    link.closeChannel();
    link.closeChannel();
    EXPECT_EQ(device.wire(), (std::vector<std::string>{"open-failed COM3", "open COM3 9600,n,8,1", "close"}));
}

} // namespace
} // namespace tempik
