// The scan and a set operation end to end: real termios on a pseudo-terminal, the real port map
// over a ports/ folder, the real clock, and tempik-sim at the far end of the line.
#include "tests/support/live_reader.h"

#include <gtest/gtest.h>

#include <chrono>

namespace tempik::testing {
namespace {

using Lines = std::vector<std::string>;

TEST(ScanEndToEnd, findsTheSimulatedReaderOnCom3ThenSetsItsPassword)
{
    SimSetup setup;
    setup.port = 3;
    setup.args = {"--line", "9600,n,8,1", "--id", "0042", "--serial", "E2E#0042", "--version", "02.10-07"};
    LiveReader live(setup);
    SimProcess& sim = live.sim;
    ASSERT_TRUE(sim.ready()) << sim.failure();
    SettingsFileStore& store = live.store;
    RecordingControls& controls = live.controls;
    ReaderOperations& operations = live.operations;
    ReaderLink& link = live.link;
    Lines sent;
    link.setFrameObserver([&](ReaderLink::Direction direction, const std::vector<uint8_t>& frame) {
        if (direction == ReaderLink::Direction::sent)
            sent.emplace_back(frame.begin() + 1, frame.end() - 6);
    });

    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(operations.btnScanClick()) << sim.errorOutput();
    const auto elapsed = std::chrono::steady_clock::now() - start;

    // Ports 1 and 2 do not exist; port 3 stays silent at 4800 baud (two definitions, two
    // queries each) and answers at 9600. A pseudo-terminal carries no parity, so the first
    // 9600 definition, "9600,n,8,1", is the one that answers.
    EXPECT_EQ(sent, (Lines{"0000AS", "0000AS", "0000AS", "0000AS", "0000AS", "0000AV"}));
    EXPECT_EQ(controls.serialText, "S/N : E2E#0042");
    EXPECT_EQ(controls.idCaption, "0042");
    EXPECT_EQ(controls.idPosition, 42);
    EXPECT_EQ(controls.versionText, "VER : 02.10-07");
    EXPECT_EQ(controls.message, "Get Reader Info Ok. (COM : #3)");
    EXPECT_EQ(controls.baudRate, 2);
    // Four silent queries of 24 + 120 ms, two requests and two pauses of 100 ms at least.
    EXPECT_GE(elapsed, std::chrono::milliseconds(4 * 144 + 2 * 24 + 2 * 100));

    Settings stored;
    store.loadSettings(stored);
    EXPECT_EQ(stored.link.ScanCommNo, 3);
    EXPECT_EQ(stored.link.ScanBaudRate, "9600,n,8,1");
    EXPECT_EQ(stored.link.ScanBaudRateNo, 2);

    sent.clear();
    controls.calls.clear();
    controls.password = "4321";
    EXPECT_EQ(operations.btnPasswordClick(), OperationOutcome::accepted) << sim.errorOutput();
    EXPECT_EQ(sent, (Lines{"0000AS", "0000BF4321"}));
    EXPECT_EQ(controls.shown(), (Lines{"lamp yellow", "message Set Ok", "beep 1000 300"}));
    EXPECT_EQ(sim.stateField("password"), std::optional<std::string>("4321"));
}

} // namespace
} // namespace tempik::testing
