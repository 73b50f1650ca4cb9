// tempikctl apply: a profile's settings on one reader and on every reader found.
#include "tests/support/fake_device.h"
#include "tests/support/sim_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>

using namespace tempik::testing;

namespace {

ProgramResult ctl(const std::vector<std::string>& args) { return runProgram(ctlBinaryPath(), args, std::chrono::seconds(60)); }

std::string write(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
    return path;
}

// The requests of a --log file, without their times and device: "COM3 0000AS -> 00010020261208".
std::string requests(const std::string& log)
{
    std::ifstream in(log);
    std::string out;
    for (std::string line; std::getline(in, line);)
        out += std::regex_replace(line, std::regex("^\\S+ (COM\\d+) \\S+ request=(\\S*) reply=(\\S*)$"), "$1 $2 -> $3") + "\n";
    return out;
}

} // namespace

TEST(Profile, AppliedInItsOwnOrderWithTheIdentifierOfTheReadersSerial)
{
    SimProcess sim{SimSetup{}};
    ASSERT_TRUE(sim.ready()) << sim.failure();
    setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
    const std::string profile = write(sim.configRoot() + "/front.toml", R"(# Front entrance
[reader]
baud = "38400,e,8,1"
volume = 5
language = "simplified"
factory-default = true
card-type = 64
idle = "time"

[ids]
"20261208" = 42
"20261209" = 43
)");
    const std::string log = sim.configRoot() + "/apply.log";
    const ProgramResult result = ctl({"--port", "3", "apply", profile, "--log", log, "--json"});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    // factory-default first, the line definition last, and the identifier from [ids].
    EXPECT_EQ(requests(log),
              "COM3 0000AS -> 00010020261208\nCOM3 0000AI -> 000100AIOK\n"
              "COM3 0000AS -> 00010020261208\nCOM3 0000BC2 -> 000100BCOK\n"
              "COM3 0000AS -> 00010020261208\nCOM3 0000BE5 -> 000100BEOK\n"
              "COM3 0000AS -> 00010020261208\nCOM3 0000AH1 -> 000100AHOK\n"
              "COM3 0000AS -> 00010020261208\nCOM3 0000AG1 -> 000100AGOK\n"
              "COM3 0000AS -> 00010020261208\nCOM3 0000AD202612080042 -> 004200ADOK\n"
              "COM3 0000AS -> 00420020261208\nCOM3 0000AE7 -> 004200AEOK\n");
    EXPECT_EQ(sim.stateField("line").value_or(""), "38400,e,8,1");
}

TEST(Profile, ABadProfileIsRefusedWithItsLineAndColumnAndNothingIsSent)
{
    SimProcess sim{SimSetup{}};
    ASSERT_TRUE(sim.ready()) << sim.failure();
    setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
    const std::string before = sim.stateText();
    const std::string profile = write(sim.configRoot() + "/bad.toml", "[reader]\nvolume = 5\n  backlight = \"251\"\n");
    const ProgramResult result = ctl({"--port", "3", "apply", profile});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_EQ(result.err, "tempikctl: " + profile + ":3:15: the backlight value must be a number from 0 to 250, not \"251\"\n"
                          "Try 'tempikctl --help'.\n");
    EXPECT_EQ(sim.stateText(), before);
}

TEST(Profile, AllApplyGivesEachReaderTheIdentifierOfItsSerial)
{
    TempFolder root;
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    std::vector<std::unique_ptr<SimProcess>> readers;
    for (int port : {1, 2, 3, 4}) {
        SimSetup setup;
        setup.port = port;
        setup.configRoot = root.path();
        setup.args = {"--serial", "2026120" + std::to_string(port)};
        readers.push_back(std::make_unique<SimProcess>(setup));
        ASSERT_TRUE(readers.back()->ready()) << readers.back()->failure();
    }
    const std::string profile = write(root.path() + "/site.toml",
                                      "[reader]\nvolume = 3\n[ids]\n20261201 = 11\n20261202 = 12\n20261203 = 13\n");
    const ProgramResult result = ctl({"--all", "apply", profile});
    EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
    std::string identifiers;
    for (const auto& reader : readers)
        identifiers += reader->stateField("identifier").value_or("?") + reader->stateField("volume").value_or("?") + " ";
    EXPECT_EQ(identifiers, "00113 00123 00133 00013 ");
    EXPECT_NE(result.out.find("S/N 20261204 is not in [ids]; the identifier is kept"), std::string::npos) << result.out;
}
