// tempikctl and the simulated reader behind a real ser2net on 127.0.0.1: a scan that must set
// the server's line over RFC 2217 to find the reader, every set command through it, 0xFF
// bytes both ways, a raw TCP port, a server killed mid-operation and an address nobody serves.
#include "tests/support/ser2net.h"
#include "tests/support/sim_process.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>
#include <thread>

using namespace tempik::testing;

namespace {

// The reader talks at 38400 bits per second, the server starts each RFC 2217 connection at 9600
// and its raw port at the reader's speed. The serial number carries a 0xFF byte.
class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!Ser2net::installed())
            GTEST_SKIP() << "ser2net is not installed (./test.sh installs it)";
        ASSERT_TRUE(sim.ready()) << sim.failure();
        server.emplace(sim.slavePath(), sim.configRoot(), "9600n81", "38400n81");
        ASSERT_TRUE(server->ready()) << server->failure();
        setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
        std::filesystem::create_directories(sim.configFolder() + "/ports");
        writeFile(sim.configFolder() + "/ports/COM3", server->rfc2217Url() + "\n");
    }

    static ProgramResult ctl(std::vector<std::string> args)
    {
        return runProgram(ctlBinaryPath(), args, std::chrono::seconds(30));
    }

    static SimSetup readerAt38400()
    {
        SimSetup setup;
        setup.args = {"--line", "38400,n,8,1", "--serial", "2026\xFF" "208", "--verbose"};
        setup.port = 0;
        return setup;
    }

    SimProcess sim{readerAt38400()};
    std::optional<Ser2net> server;
};

// The trace without the time that begins each line ("[  12.345 ms] ").
std::string untimed(const std::string& trace)
{
    std::istringstream lines(trace);
    std::string line, out;
    while (std::getline(lines, line)) {
        const size_t time = line.find(" ms] ");
        out += (line.rfind('[', 0) == 0 && time != std::string::npos ? line.substr(time + 5) : line) + "\n";
    }
    return out;
}

} // namespace

TEST_F(NetworkPortTest, ScanOverRfc2217SetsTheServersLineUntilTheReaderAnswers)
{
    const ProgramResult result = ctl({"scan", "--unlock", "--trace"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "Get Reader Info Ok. (COM : #3)\nS/N : 2026\u00FF" "208\nID: 0001\nVER : 01.40-01\nCOM3 (" + server->rfc2217Url() + ") 38400,n,8,1\n");
    // Six definitions twice each at other speeds, silence; then 38400: the status, the version.
    const std::string status = "> 01 30 30 30 30 41 53 02 31 45 35 36 0D  |.0000AS.1E56.| COM3\n";
    std::string expected;
    for (int i = 0; i < 12; ++i)
        expected += status;
    expected += status + "< 03 30 30 30 31 30 30 32 30 32 36 FF 32 30 38 04 44 39 31 33 0D  |.0001002026.208.D913.| COM3\n"
                         "> 01 30 30 30 30 41 56 02 34 45 35 35 0D  |.0000AV.4E55.| COM3\n"
                         "< 03 30 30 30 31 30 30 30 31 2E 34 30 2D 30 31 04 43 32 34 32 0D  |.00010001.40-01.C242.| COM3\n";
    EXPECT_EQ(untimed(result.err), expected);
}

TEST_F(NetworkPortTest, EverySetCommandOverRfc2217)
{
    ASSERT_EQ(ctl({"scan", "--unlock"}).exitCode, 0);
    // A reply later than 120 ms on a loaded machine would be taken by the next exchange, and a
    // command could pass on the reply to the one before it.
    writeFile(sim.configFolder() + "/ports/COM3", server->rfc2217Url() + "?reply-ms=2000\n");
    const std::string icon = sim.configRoot() + "/corner.ico";
    IconBytes().on(0, 0).on(127, 15).write(icon);
    const struct {
        std::vector<std::string> args;
        std::string field;
        std::string expected;
    } rows[] = {
        {{"set-id", "42"}, "identifier", "0042"},
        {{"set-baud", "57600,e,8,1"}, "line", "57600,e,8,1"},   // the rows below go at the new speed
        {{"set-time", "--24h"}, "hourMode", "1"},
        {{"set-language", "simplified"}, "language", "2"},
        {{"set-password", "1234"}, "password", "1234"},
        {{"set-volume", "3"}, "volume", "3"},
        {{"set-card-type", "64"}, "cardType", "1"},
        {{"set-backlight", "7"}, "backlight", "7"},
        {{"set-work-time", "250"}, "workTime", "250"},
        {{"set-idle", "time"}, "idleScreen", "1"},
        {{"set-title-mode", "none"}, "titleMode", "0"},
        {{"set-title", "Gate \u00FF 7"}, "titleText", "Gate \xFF 7        "},   // 0xFF in the payload
        {{"set-install", "Hall"}, "installMessage", "Hall            "},
        {{"set-message", "Welcome"}, "titleMessage", "Welcome" + std::string(121, ' ')},
        {{"show-message", "Hi"}, "showMessage", "Hi" + std::string(62, ' ')},
        {{"clear-install"}, "installMessage", std::string(16, ' ')},
        {{"factory-default"}, "line", "19200,e,8,1"},
        {{"set-volume", "4"}, "volume", "4"},
        {{"set-icon", icon}, "titleMode", "2"},
    };
    for (const auto& row : rows) {
        const ProgramResult result = ctl(row.args);
        SCOPED_TRACE(row.args.front());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_EQ(sim.stateField(row.field).value_or("<missing>"), row.expected);
    }
    const std::vector<std::string> picture = sim.statePicture();
    ASSERT_EQ(picture.size(), 16u);
    EXPECT_EQ(picture[0], "#" + std::string(127, '.'));
    EXPECT_EQ(picture[15], std::string(127, '.') + "#");
}

TEST_F(NetworkPortTest, ARawPortGivenOnTheCommandLineCarriesNoLine)
{
    const std::string url = server->socketUrl() + "?reply-ms=2000";
    ProgramResult result = ctl({"--port", url, "scan", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    // The server's own line is the reader's, so the remembered definition (none yet: the factory
    // one) already answers.
    EXPECT_NE(result.out.find("\"port\":1,\"device\":\"" + url + "\",\"line\":\"19200,e,8,1\""),
              std::string::npos) << result.out;
    result = ctl({"--port", url, "set-volume", "6"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(sim.stateField("volume").value_or(""), "6");
    // A port given as a URL is not remembered.
    EXPECT_EQ(ctl({"settings"}).out.substr(0, 12), "ScanCommNo=0");
    // The reader moves to a line the raw port cannot follow: the user must change the server's.
    result = ctl({"--port", url, "set-baud", "57600,e,8,1"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(result.err, "tempikctl: " + url + " is a raw network port and cannot follow the reader to 57600,e,8,1: "
                          "change the server's own line to reach the reader again\n");
}

TEST_F(NetworkPortTest, AServerKilledMidOperationOrAbsentEndsTheOperation)
{
    const std::string icon = sim.configRoot() + "/title.ico";
    IconBytes().on(5, 5).write(icon);
    const std::vector<std::string> upload = {"--port", server->rfc2217Url(), "--line", "38400,n,8,1", "set-icon", icon};
    std::optional<ProgramResult> result;
    std::thread operation([&] { result = ctl(upload); });
    // Once the reader has heard the status query, the server goes; the upload has two seconds
    // of blocks still to send.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (sim.errorOutput().find("AS") == std::string::npos && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    server->kill();
    operation.join();
    EXPECT_FALSE(result->timedOut);
    EXPECT_EQ(result->exitCode, 1) << result->out << result->err;
    EXPECT_EQ(result->out.rfind("Set Error (COM1 " + server->rfc2217Url() + ", S/N ", 0), 0u) << result->out;
    EXPECT_EQ(sim.stateField("titleMode").value_or(""), "0") << "the upload did not end";

    const ProgramResult absent = ctl(upload);
    EXPECT_EQ(absent.exitCode, 3) << absent.out << absent.err;
    EXPECT_EQ(absent.err, "tempikctl: COM1: connection refused\n");
}
