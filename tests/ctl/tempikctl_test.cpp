// The real tempikctl binary against the simulated reader on a pseudo-terminal.
#include "tests/support/fake_device.h"
#include "tests/support/far_end.h"
#include "reader/operation_table.h"
#include "tests/support/ser2net.h"
#include "tests/support/sim_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <sys/stat.h>
#include <vector>

using namespace tempik::testing;

namespace {

class TempikctlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.ready()) << sim.failure();
        // The tool finds its configuration folder, and with it ports/COM3, through this variable.
        setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
    }

    ProgramResult ctl(std::vector<std::string> args)
    {
        return runProgram(ctlBinaryPath(), args, std::chrono::seconds(20));
    }

    void scan()
    {
        const ProgramResult result = ctl({"scan"});
        ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    }

    SimProcess sim{SimSetup{}};
};

} // namespace

TEST_F(TempikctlTest, ScanReportsTheReaderAndRemembersItsPort)
{
    const ProgramResult result = ctl({"scan", "--json"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, "{\"command\":\"scan\",\"outcome\":\"found\",\"message\":\"Get Reader Info Ok. (COM : #3)\","
                          "\"port\":3,\"device\":\"" + sim.portLinkPath() + "\",\"line\":\"19200,e,8,1\","
                          "\"serial\":\"20261208\",\"identifier\":\"0001\",\"version\":\"01.40-01\"}\n");

    const ProgramResult settings = ctl({"settings"});
    EXPECT_EQ(settings.exitCode, 0);
    EXPECT_EQ(settings.out, "ScanCommNo=3\nScanBaudRateNo=5\nScanBaudRate=19200,e,8,1\nLanguageFlag=English\n");
}

TEST_F(TempikctlTest, EveryCommandChangesTheReader)
{
    scan();
    const std::string icon = sim.configRoot() + "/corner.ico";
    IconBytes().on(0, 0).write(icon);
    struct Row {
        std::vector<std::string> args;
        std::string field;
        std::string expected;
        std::string reply = "OK";   // texts are sent without awaiting a reply
    };
    const std::vector<Row> rows = {
        {{"set-id", "42"}, "identifier", "0042"},
        {{"set-time", "--24h"}, "hourMode", "1"},
        {{"set-language", "simplified"}, "language", "2"},
        {{"set-password", "1234"}, "password", "1234"},
        {{"set-volume", "3"}, "volume", "3"},
        {{"set-card-type", "64"}, "cardType", "1"},
        {{"set-backlight", "7"}, "backlight", "7"},
        {{"set-work-time", "250"}, "workTime", "250"},
        {{"set-idle", "time"}, "idleScreen", "1"},
        {{"set-title-mode", "none"}, "titleMode", "0"},
        {{"set-title", "Front door"}, "titleText", "Front door      "},
        {{"set-install", "Hall"}, "installMessage", "Hall            ", "none"},
        {{"set-message", "Welcome"}, "titleMessage", "Welcome" + std::string(121, ' '), "none"},
        {{"show-message", "Hi"}, "showMessage", "Hi" + std::string(62, ' '), "none"},
        {{"clear-title"}, "titleText", std::string(16, ' '), "none"},
        {{"clear-install"}, "installMessage", std::string(16, ' '), "none"},
        {{"clear-message"}, "titleMessage", std::string(128, ' '), "none"},
        {{"set-icon", icon}, "titleMode", "2"},
    };
    for (const Row& row : rows) {
        std::vector<std::string> args = row.args;
        args.push_back("--json");
        const ProgramResult result = ctl(args);
        SCOPED_TRACE(row.args.front());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_EQ(result.out, "{\"command\":\"" + row.args.front() +
                                  "\",\"outcome\":\"accepted\",\"message\":\"Set Ok\",\"port\":3,\"device\":\"" +
                                  sim.portLinkPath() + "\",\"serial\":\"20261208\",\"reply\":\"" + row.reply + "\"}\n");
        EXPECT_EQ(sim.stateField(row.field).value_or("<missing>"), row.expected);
    }
    const std::vector<std::string> picture = sim.statePicture();
    ASSERT_EQ(picture.size(), 16u);
    EXPECT_EQ(picture[0], "#" + std::string(127, '.'));
    for (size_t y = 1; y < 16; ++y)
        EXPECT_EQ(picture[y], std::string(128, '.'));
    const std::string clock = sim.stateField("clock").value_or("");
    EXPECT_EQ(clock.size(), 14u) << clock;
}

TEST_F(TempikctlTest, LineSpeedAndFactoryDefaultMoveTheLinkWithTheReader)
{
    scan();
    ProgramResult result = ctl({"set-baud", "38400,e,8,1"});
    ASSERT_EQ(result.exitCode, 0) << result.out << result.err;
    EXPECT_EQ(sim.stateField("line").value_or(""), "38400,e,8,1");
    EXPECT_NE(ctl({"settings"}).out.find("ScanBaudRateNo=7\nScanBaudRate=38400,e,8,1"), std::string::npos);

    // The next command talks at the new speed without a scan.
    result = ctl({"set-volume", "2"});
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(sim.stateField("volume").value_or(""), "2");

    result = ctl({"factory-default"});
    EXPECT_EQ(result.exitCode, 0) << result.out;
    EXPECT_EQ(sim.stateField("line").value_or(""), "19200,e,8,1");
    EXPECT_NE(ctl({"settings"}).out.find("ScanBaudRateNo=5\nScanBaudRate=19200,e,8,1"), std::string::npos);
    EXPECT_EQ(ctl({"set-volume", "4"}).exitCode, 0);
}

TEST_F(TempikctlTest, TraceShowsTheExactFrames)
{
    scan();
    const ProgramResult result = ctl({"set-volume", "5", "--trace"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    // The status query, byte for byte, then the command, each followed by the reply read.
    EXPECT_NE(result.err.find("> 01 30 30 30 30 41 53 02 31 45 35 36 0D  |.0000AS.1E56.|"), std::string::npos)
        << result.err;
    EXPECT_NE(result.err.find("|.0000BE5."), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("] < 03 30 30 30 31 "), std::string::npos) << result.err;
    EXPECT_EQ(result.out, "Set Ok (COM3 " + sim.portLinkPath() + ", S/N 20261208, reply OK)\n");
}

TEST_F(TempikctlTest, MessagesFollowTheChosenLanguage)
{
    const ProgramResult result = ctl({"scan", "--language", "gb"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out.substr(0, result.out.find('\n')), "读取打卡钟资讯完成. (串口 : #3)");
}

TEST_F(TempikctlTest, WithoutAKnownReaderNothingIsSent)
{
    const std::string before = sim.stateText();
    const ProgramResult result = ctl({"set-volume", "3"});
    EXPECT_EQ(result.exitCode, 4);
    EXPECT_EQ(result.out, "Start Scan Punch-card Reader!\n");
    EXPECT_EQ(sim.stateText(), before);
}

TEST_F(TempikctlTest, APortThatCannotBeOpenedIsExitCodeThree)
{
    const ProgramResult result = ctl({"set-volume", "3", "--port", "9", "--json"});
    EXPECT_EQ(result.exitCode, 3);
    EXPECT_EQ(result.out, "{\"command\":\"set-volume\",\"outcome\":\"failed\",\"message\":\"Set Error\","
                          "\"port\":9,\"device\":\"\",\"serial\":\"\",\"reply\":\"none\",\"error\":\"no such port\"}\n");
    // A scan of a named port that refuses the connection says so, and where.
    const std::string refused = "socket://127.0.0.1:" + std::to_string(freeTcpPort());
    const ProgramResult scan = ctl({"--port", refused, "scan"});
    EXPECT_EQ(scan.exitCode, 3);
    EXPECT_EQ(scan.err.rfind("tempikctl: COM1 (" + refused + "): ", 0), 0u) << scan.err;
}

TEST_F(TempikctlTest, BadArgumentsAreRefusedBeforeAnythingIsSent)
{
    scan();
    const std::string volume = sim.stateField("volume").value_or("");
    const std::string fifo = sim.configRoot() + "/fifo.ico";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> refused = {
        {"set-id", "0"},
        {"set-id", "10000"},
        {"set-id", "12a"},
        {"set-baud", "12345,e,8,1"},
        {"set-baud", "14"},
        {"set-title", "seventeen chars!!"},
        {"set-title", "一二三四五六七八九", "--language", "gb"},   // 18 bytes in GBK
        {"set-password", "a\tb"},
        {"set-password", "a\x7f" "b"},   // DEL is a control character too
        {"set-password", "钟12", "--language", "big5"},   // Big5 lacks 钟: it would go as "?12"
        {"set-volume", "10"},
        {"set-card-type", "48"},
        {"set-backlight", "abc"},
        {"set-backlight", "251"},
        {"set-work-time", "0"},
        {"scan", "--ports", "1-3"},
        {"settings", "--all"},
        {"scan", "--line", "12345,n,8,1"},
        {"set-icon", "/nonexistent/\x1b[2Jicon.ico"},   // echoed escaped
        {"set-icon", sim.configRoot()},   // a folder, a device and a FIFO hold no picture
        {"set-icon", "/dev/null"},
        {"set-icon", fifo},
        {"set-volume"},
        {"frobnicate"},
        {"set-volume", "3", "--bogus"},
        {"set-volume", "3", "--unlock"},
    };
    for (const auto& args : refused) {
        const ProgramResult result = ctl(args);
        SCOPED_TRACE(args.front() + (args.size() > 1 ? " " + args[1] : ""));
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find("tempikctl: "), std::string::npos) << result.err;
        EXPECT_EQ(result.err.find('\x1b'), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    // Within its limit the window would send it as it stands, and so does the command line.
    const ProgramResult chinese = ctl({"set-title", "一二三四五六七八", "--language", "gb"});
    EXPECT_EQ(chinese.exitCode, 0) << chinese.err;
    EXPECT_EQ(sim.stateField("titleText").value_or("").size(), 16u);
    EXPECT_EQ(sim.stateField("volume").value_or(""), volume);
}

// The help and the completion script name every operation of the table, and the completion
// offers each one's value words.
TEST(TempikctlHelp, CoversEveryOperationAndOption)
{
    const ProgramResult result = runProgram(ctlBinaryPath(), {"--help"});
    EXPECT_EQ(result.exitCode, 0);
    std::ifstream file(TEMPIK_SOURCE_DIR "/share/bash-completion/tempikctl");
    const std::string completion((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::string commands = "scan settings ports readers apply";
    for (const tempik::OperationRow& row : tempik::operationTable()) {
        commands += std::string(" ") + row.command;
        EXPECT_NE(result.out.find("\n  " + std::string(row.command) + " "), std::string::npos) << row.command;
        std::string words;
        for (const std::string& word : row.choices)
            words += (words.empty() ? "" : " ") + word;
        if (row.from == tempik::ValueFrom::argument && !words.empty()) {
            EXPECT_TRUE(std::regex_search(completion, std::regex("[ |]" + std::string(row.command) + "\\) words=\"" + words + "\"")))
                << row.command;
        }
    }
    EXPECT_NE(completion.find("local commands=\"" + commands + "\"\n"), std::string::npos) << commands;
    for (const char* word : {"--port", "--line", "--unlock", "--language", "--json", "--trace", "--12h", "--24h",
                             "--all", "--ports", "--strict", "--log", "--version"})
        EXPECT_NE(result.out.find(word), std::string::npos) << word;
}

// A reader that sends escape sequences as its serial and version, under a configuration path
// that is not UTF-8: nothing raw reaches the terminal, and the JSON stays valid UTF-8.
TEST(TempikctlOutput, ReaderTextsAndPathsAreEscaped)
{
    PseudoTerminal pty;
    FarEnd reader(pty, [](const std::string& payload, int) {
        return FarEnd::Answer{readerReply(payload, statusReply("0042", "\x1b[2J\x1b]0;"), versionReply("\x1b[31mRED"))};
    });
    TempFolder root;
    const std::string config = root.path() + "/caf\xe9";   // Latin-1, not UTF-8
    std::filesystem::create_directories(config + "/KESTO/ports");
    std::filesystem::create_symlink(pty.slavePath(), config + "/KESTO/ports/COM1");
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);

    const ProgramResult text = runProgram(ctlBinaryPath(), {"scan"}, std::chrono::seconds(20));
    ASSERT_EQ(text.exitCode, 0) << text.out << text.err;
    EXPECT_EQ(text.out.find('\x1b'), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(" : \\x1b[2J\\x1b]0;\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find(" : \\x1b[31mRED\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("/caf\\xe9/KESTO/ports/COM1)"), std::string::npos) << text.out;

    const ProgramResult json = runProgram(ctlBinaryPath(), {"scan", "--json"}, std::chrono::seconds(20));
    ASSERT_EQ(json.exitCode, 0) << json.out << json.err;
    EXPECT_EQ(json.out.find('\xe9'), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("/caf\\u00e9/KESTO/ports/COM1\""), std::string::npos) << json.out;
    EXPECT_NE(json.out.find("\"serial\":\"\\u001b[2J\\u001b]0;\""), std::string::npos) << json.out;

    // The set result line and the --all line, as the scan prints them.
    const std::string escapedPath = root.path() + "/caf\\xe9/KESTO/ports/COM1";
    const ProgramResult set = runProgram(ctlBinaryPath(), {"-p", "1", "set-volume", "3"}, std::chrono::seconds(20));
    EXPECT_EQ(set.out, "Set Ok (COM1 " + escapedPath + ", S/N \\x1b[2J\\x1b]0;, reply OK)\n") << set.err;
    const ProgramResult all = runProgram(ctlBinaryPath(), {"--all", "--ports", "1", "scan"}, std::chrono::seconds(20));
    EXPECT_EQ(all.out, "COM1 " + escapedPath + " 19200,e,8,1 \\x1b[2J\\x1b]0; 0042 \\x1b[31mRED: Get Reader Info Ok. (COM : #1)\n"
                       "found 1, accepted 1, failed 0, unreachable 0\n")
        << all.err;
}
