// The real tempik-sim over a real pseudo-terminal, driven through the link layer as the tool
// drives a reader: port map, termios device, framed exchanges with the real 120 ms wait.
#include "link/clock.h"
#include "link/frame.h"
#include "link/port_map_linux.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "tests/support/named_row.h"
#include "tests/support/sim_process.h"

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik {
namespace {

using testing::SimProcess;
using testing::SimSetup;

// The tool's side of the line, reaching the reader as COM<port> through the configuration
// folder's ports/ link.
struct Tool {
    explicit Tool(const SimProcess& sim) : ports(sim.configFolder()), link(device, clock, ports) {}
    PosixSerialDevice device;
    SystemClock clock;
    LinuxPortMap ports;
    ReaderLink link;
};

SimSetup withArgs(std::vector<std::string> args)
{
    SimSetup setup;
    setup.args = std::move(args);
    return setup;
}

std::string replyField(const ReaderLink& link, size_t position, size_t length)
{
    return link.replyText().size() >= position - 1 + length ? link.replyText().substr(position - 1, length)
                                                            : std::string();
}

struct SpeedRow : testing::NamedRow {
    const char* readerLine;
    const char* toolLine;
    bool answered;
};

class SpeedTest : public ::testing::TestWithParam<SpeedRow> {};

TEST_P(SpeedTest, StatusAndVersionOnlyAtTheReadersSpeed)
{
    const SpeedRow& row = GetParam();
    SimProcess sim(withArgs({"--line", row.readerLine, "--id", "0042", "--serial", "SN-77001",
                             "--version", "02.10-03"}));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, row.toolLine)) << describe(tool.link.lastFailure());
    const bool status = tool.link.sendCommand("0000AS", true);
    const size_t statusLength = tool.link.replyLength();
    const std::string identifier = replyField(tool.link, 2, 4);
    const std::string serial = replyField(tool.link, 8, 8);
    const bool version = tool.link.sendCommand("0000AV", true);
    tool.link.closeChannel();

    EXPECT_EQ(status, row.answered);
    EXPECT_EQ(version, row.answered);
    if (row.answered) {
        EXPECT_EQ(statusLength, 21u);
        EXPECT_EQ(identifier, "0042");
        EXPECT_EQ(serial, "SN-77001");
        EXPECT_EQ(replyField(tool.link, 8, 8), "02.10-03");
    } else {
        EXPECT_TRUE(tool.link.replyText().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, SpeedTest,
    ::testing::Values(SpeedRow{"SameDefinition", "19200,e,8,1", "19200,e,8,1", true},
                      SpeedRow{"ParityNotCompared", "19200,e,8,1", "19200,n,8,1", true},
                      SpeedRow{"SlowerHost", "19200,e,8,1", "9600,e,8,1", false},
                      SpeedRow{"FastestLine", "230400,n,8,1", "230400,e,8,1", true},
                      SpeedRow{"NextSpeedDown", "230400,n,8,1", "115200,n,8,1", false}),
    testing::rowName);

TEST(SimEndToEnd, LineSpeedCommandIsAnsweredAtTheOldSpeedThenSwitches)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    EXPECT_TRUE(tool.link.sendCommand("0000AE7", true));
    EXPECT_FALSE(tool.link.sendCommand("0000AS", true)) << "still answers at 19200";
    tool.link.closeChannel();
    EXPECT_EQ(sim.stateField("line"), "38400,e,8,1");

    ASSERT_TRUE(tool.link.openChannel(3, "38400,e,8,1"));
    EXPECT_TRUE(tool.link.sendCommand("0000AS", true));
    EXPECT_EQ(tool.link.replyLength(), 21u);
    // Factory defaults bring it back to 19200, again after the reply.
    EXPECT_TRUE(tool.link.sendCommand("0000AI", true));
    EXPECT_FALSE(tool.link.sendCommand("0000AS", true));
    tool.link.closeChannel();
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    EXPECT_TRUE(tool.link.sendCommand("0000AS", true));
    tool.link.closeChannel();
}

TEST(SimEndToEnd, IdentifierChangesOnlyForItsOwnSerialNumber)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    ASSERT_TRUE(tool.link.sendCommand("0000AS", true));
    const std::string serial = replyField(tool.link, 8, 8);

    EXPECT_TRUE(tool.link.sendCommand("0000AD" + std::string("99999999") + "0042", true));
    EXPECT_EQ(sim.stateField("identifier"), "0001");

    EXPECT_TRUE(tool.link.sendCommand("0000AD" + serial + "0042", true));
    EXPECT_EQ(sim.stateField("identifier"), "0042");
    ASSERT_TRUE(tool.link.sendCommand("0000AS", true));
    EXPECT_EQ(replyField(tool.link, 2, 4), "0042");
    tool.link.closeChannel();
}

TEST(SimEndToEnd, BadRequestFramesGetNoReply)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(sim.portLinkPath(), "19200,e,8,1"));

    auto replyBytes = [&device](const std::vector<uint8_t>& request) {
        device.write(request.data(), request.size());
        std::vector<uint8_t> got;
        SystemClock clock;
        const uint32_t start = clock.nowMs();
        uint8_t b;
        while (elapsedSince(clock, start) < 200)
            if (device.readByte(b) == ReadOutcome::byte)
                got.push_back(b);
        return got;
    };
    std::vector<uint8_t> lowerCase = buildRequestFrame("0000AV");   // check 4E55
    lowerCase[9] = 'e';
    std::vector<uint8_t> wrongCheck = buildRequestFrame("0000AS");
    wrongCheck[11] ^= 1;
    std::vector<uint8_t> noCr = buildRequestFrame("0000AS");
    noCr.back() = 'x';

    EXPECT_TRUE(replyBytes(lowerCase).empty());
    EXPECT_TRUE(replyBytes(wrongCheck).empty());
    EXPECT_TRUE(replyBytes(noCr).empty());
    // The line itself works: a good frame right after gets its reply.
    EXPECT_EQ(replyBytes(buildRequestFrame("0000AS")).size(), 21u);
    device.close();
}

TEST(SimEndToEnd, RawBytesOfATextArriveUnchanged)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    const std::string text = std::string("A\x03" "B\x11" "C\x13" "D\xC4\x7F", 9);
    EXPECT_TRUE(tool.link.sendCommand("0000BI" + text, true));
    tool.link.closeChannel();
    EXPECT_EQ(sim.stateField("showMessage"), text);
}

// One fault option, one exchange, the failure the tool must see.
struct FaultRow : testing::NamedRow {
    std::vector<std::string> args;
    const char* payload;
    bool result;
    size_t replyLength;            // after the exchange
    bool replyTextHoldsTheReply;   // replyText set (a reply passed the marker rule)
};

class FaultTest : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultTest, ExchangeSeesTheFault)
{
    const FaultRow& row = GetParam();
    SimProcess sim(withArgs(row.args));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    EXPECT_EQ(tool.link.sendCommand(row.payload, true), row.result);
    EXPECT_EQ(tool.link.replyLength(), row.replyLength);
    if (row.replyTextHoldsTheReply) {
        ASSERT_EQ(tool.link.replyText().size(), row.replyLength);
        EXPECT_EQ(tool.link.replyText().front(), char(ETX));
        EXPECT_EQ(tool.link.replyText().back(), char(CR));
    } else {
        EXPECT_TRUE(tool.link.replyText().empty());
    }
    tool.link.closeChannel();
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FaultTest,
    ::testing::Values(FaultRow{"LowerCaseCheck", {"--lowercase-check"}, "0000AS", false, 21, true},
                      FaultRow{"BadCheck", {"--bad-check"}, "0000AS", false, 21, true},
                      FaultRow{"StatusOf20", {"--status-length", "20"}, "0000AS", true, 20, true},
                      FaultRow{"StatusOf22", {"--status-length", "22"}, "0000AS", true, 22, true},
                      FaultRow{"Noise", {"--noise", "64"}, "0000AS", true, 21, true},
                      FaultRow{"DelayWithinTheWait", {"--delay-ms", "40"}, "0000AS", true, 21, true},
                      FaultRow{"DelayBeyondTheWait", {"--delay-ms", "200"}, "0000AS", false, 0, false},
                      FaultRow{"NoVersion", {"--no-version"}, "0000AV", false, 0, false},
                      FaultRow{"SilentOnCode", {"--silent-on", "BF,AS"}, "0000AS", false, 0, false},
                      FaultRow{"SilentFirst", {"--silent-first", "1"}, "0000AS", false, 0, false}),
    testing::rowName);

TEST(SimEndToEnd, LowerCaseReplyIsKeptInReplyText)
{
    SimProcess sim(withArgs({"--lowercase-check"}));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    EXPECT_FALSE(tool.link.sendCommand("0000AS", true));
    std::string reply = tool.link.replyText();
    tool.link.closeChannel();
    ASSERT_EQ(reply.size(), 21u);
    EXPECT_EQ(reply.substr(7, 8), "20261208");
    bool lower = false;
    for (size_t i = 16; i < 20; ++i) {
        lower = lower || std::islower(static_cast<unsigned char>(reply[i]));
        reply[i] = static_cast<char>(std::toupper(static_cast<unsigned char>(reply[i])));
    }
    EXPECT_TRUE(lower);
    EXPECT_TRUE(replyCrcMatches(reinterpret_cast<const uint8_t*>(reply.data()), reply.size()));
}

TEST(SimEndToEnd, SilentFirstThenAnswers)
{
    SimProcess sim(withArgs({"--silent-first", "2"}));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    EXPECT_FALSE(tool.link.sendCommand("0000AS", true));
    EXPECT_FALSE(tool.link.sendCommand("0000AS", true));
    EXPECT_TRUE(tool.link.sendCommand("0000AS", true));
    tool.link.closeChannel();
}

// The picture the test uploads: a frame around the edge and a diagonal pattern inside, so every
// block, both bands and every bit position differ.
bool testPixel(int x, int y)
{
    return x == 0 || y == 0 || x == 127 || y == 15 || (x + 3 * y) % 11 == 0;
}

TEST(SimEndToEnd, EightBlocksAssembleIntoThePicture)
{
    SimProcess sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    Tool tool(sim);
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    for (int n = 0; n < 8; ++n) {
        std::string payload = "0000BB" + std::to_string(n);
        for (int band = 0; band < 2; ++band)
            for (int c = 0; c < 16; ++c) {
                unsigned byte = 0;
                for (int k = 0; k < 8; ++k)
                    if (testPixel(16 * n + c, 8 * band + k))
                        byte |= 1u << k;
                char hex[3];
                std::snprintf(hex, sizeof hex, "%02X", byte);
                payload += hex;
            }
        ASSERT_EQ(payload.size(), 71u);
        EXPECT_TRUE(tool.link.sendCommand(payload, false));
    }
    tool.link.closeChannel();
    // A fresh open drops the blocks' acknowledgements; the status reply then comes after every
    // block has been taken.
    ASSERT_TRUE(tool.link.openChannel(3, "19200,e,8,1"));
    ASSERT_TRUE(tool.link.sendCommand("0000AS", true));
    tool.link.closeChannel();

    std::vector<std::string> expected;
    for (int y = 0; y < 16; ++y) {
        std::string row;
        for (int x = 0; x < 128; ++x)
            row += testPixel(x, y) ? '#' : '.';
        expected.push_back(row);
    }
    EXPECT_EQ(sim.statePicture(), expected);
}

TEST(SimProgram, HelpAndBadOptions)
{
    const auto help = testing::runProgram(testing::simBinaryPath(), {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("carries no parity"), std::string::npos);
    EXPECT_NE(help.out.find("--status-length"), std::string::npos);

    const auto bad = testing::runProgram(testing::simBinaryPath(), {"--delay-ms", "soon"});
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_TRUE(bad.out.empty());
    EXPECT_NE(bad.err.find("--delay-ms wants a whole number"), std::string::npos) << bad.err;

    const auto unknown = testing::runProgram(testing::simBinaryPath(), {"--baud", "9600"});
    EXPECT_EQ(unknown.exitCode, 2);
    EXPECT_NE(unknown.err.find("not expected: 9600 --baud"), std::string::npos) << unknown.err;
}

bool isSymlink(const std::string& path)
{
    struct stat st {};
    return lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

class StopSignalTest : public ::testing::TestWithParam<int> {};

TEST_P(StopSignalTest, EndsCleanlyAndRemovesItsLink)
{
    testing::TempFolder root;
    // A link left from an earlier run is replaced.
    const std::string ports = root.path() + "/KESTO/ports";
    ASSERT_EQ(system(("mkdir -p " + ports + " && ln -s /dev/null " + ports + "/COM3").c_str()), 0);
    SimSetup setup;
    setup.configRoot = root.path();
    SimProcess sim(setup);
    ASSERT_TRUE(sim.ready()) << sim.failure();
    char target[256] = {};
    ASSERT_GT(readlink(sim.portLinkPath().c_str(), target, sizeof target - 1), 0);
    EXPECT_EQ(std::string(target), sim.slavePath());
    // The slave of the simulator's own pair, held here: once its master is closed it hangs up.
    // (Its /dev/pts number may go at once to a pair of another test running in parallel.)
    const int slave = open(sim.slavePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    ASSERT_GE(slave, 0);
    pollfd hangUp{slave, POLLIN, 0};
    EXPECT_EQ(poll(&hangUp, 1, 0), 0) << "the pair is open and quiet";

    EXPECT_EQ(sim.stop(GetParam()), 0);
    EXPECT_FALSE(isSymlink(sim.portLinkPath()));
    EXPECT_EQ(poll(&hangUp, 1, 0), 1);
    EXPECT_TRUE(hangUp.revents & POLLHUP) << "pseudo-terminal closed";
    close(slave);
}

INSTANTIATE_TEST_SUITE_P(Signals, StopSignalTest, ::testing::Values(SIGTERM, SIGINT));

TEST(SimProgram, RefusesToReplaceAFileThatIsNotALink)
{
    testing::TempFolder root;
    const std::string ports = root.path() + "/KESTO/ports";
    ASSERT_EQ(system(("mkdir -p " + ports + " && touch " + ports + "/COM3").c_str()), 0);
    SimSetup setup;
    setup.configRoot = root.path();
    SimProcess sim(setup);
    EXPECT_FALSE(sim.ready());
    EXPECT_NE(sim.failure().find("not a symbolic link"), std::string::npos) << sim.failure();
}

} // namespace
} // namespace tempik
