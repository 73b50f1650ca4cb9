// tempikctl with several readers: what a scan remembers, whom a set command reaches and says it
// reached, --all, the option forms, the log and the port listing.
#include "link/frame.h"
#include "tests/support/fake_device.h"
#include "tests/support/far_end.h"
#include "tests/support/sim_process.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace tempik;
using namespace tempik::testing;

namespace {

ProgramResult ctl(const std::vector<std::string>& args) { return runProgram(ctlBinaryPath(), args, std::chrono::seconds(30)); }

SimSetup readerAt(int port, const std::string& root, std::vector<std::string> args = {})
{
    SimSetup setup;
    setup.port = port;
    setup.configRoot = root;
    setup.args = std::move(args);
    return setup;
}

class Readers : public ::testing::Test {
protected:
    void SetUp() override { setenv("XDG_CONFIG_HOME", root.path().c_str(), 1); }
    std::string folder() const { return root.path() + "/KESTO"; }
    TempFolder root;
};

std::string volumeOf(const SimProcess& sim) { return sim.stateField("volume").value_or("<missing>"); }

} // namespace

TEST_F(Readers, AScanLedByPortAndLineRemembersWhereItFoundTheReader)
{
    SimProcess second(readerAt(2, root.path()));
    SimProcess seventh(readerAt(7, root.path(), {"--line", "2400,e,8,1", "--serial", "77777777"}));
    ASSERT_TRUE(second.ready() && seventh.ready()) << second.failure() << seventh.failure();
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);   // COM2, the first in the sweep

    // A line outside the fourteen, given by hand, is applied: the reader at 2400 answers.
    const ProgramResult scan = ctl({"--port", "7", "--line=2400,e,8,1", "scan"});
    ASSERT_EQ(scan.exitCode, 0) << scan.out << scan.err;
    EXPECT_EQ(ctl({"settings"}).out, "ScanCommNo=7\nScanBaudRateNo=5\nScanBaudRate=2400,e,8,1\nLanguageFlag=English\n");

    const std::string volume = volumeOf(second);
    const ProgramResult set = ctl({"set-volume", "3"});
    EXPECT_EQ(set.out, "Set Ok (COM7 " + seventh.portLinkPath() + ", S/N 77777777, reply OK)\n") << set.err;
    EXPECT_EQ(volumeOf(seventh), "3");
    EXPECT_EQ(volumeOf(second), volume);
}

TEST_F(Readers, AfterAScanThatFoundNoReaderSetCommandsAreRefusedUntilOneDoes)
{
    SimProcess sim(readerAt(3, root.path()));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    // Locked to a line the reader does not use: "Reader Not Find", the stored port unchanged.
    ASSERT_EQ(ctl({"scan", "-l", "0"}).exitCode, 1);
    const std::string before = sim.stateText();

    const ProgramResult refused = ctl({"set-volume", "3"});
    EXPECT_EQ(refused.exitCode, 4);
    EXPECT_EQ(refused.out, "Start Scan Punch-card Reader!\n");
    EXPECT_NE(refused.err.find("the last scan found no reader"), std::string::npos) << refused.err;
    EXPECT_EQ(sim.stateText(), before);

    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    EXPECT_EQ(ctl({"set-volume", "3"}).exitCode, 0);
    EXPECT_EQ(volumeOf(sim), "3");
}

TEST_F(Readers, OptionsInEveryFormReachTheSameReader)
{
    SimProcess sim(readerAt(3, root.path()));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    const std::vector<std::vector<std::string>> forms = {
        {"--port=3", "set-volume", "1"},
        {"-p3", "-jt", "set-volume", "2"},
        {"set-volume", "--port", "3", "3"},
        {"--jso", "-p", "3", "--", "set-volume", "4"},
    };
    int volume = 1;
    for (const auto& args : forms) {
        const ProgramResult result = ctl(args);
        SCOPED_TRACE(args.front());
        EXPECT_EQ(result.exitCode, 0) << result.out << result.err;
        EXPECT_EQ(volumeOf(sim), std::to_string(volume++));
    }
    for (const auto& args : std::vector<std::vector<std::string>>{
             {"--port", "set-volume", "1"}, {"--json=yes", "scan"}, {"--po", "3", "scan"}, {"-x", "scan"}})
        EXPECT_EQ(ctl(args).exitCode, 2) << args.front();
    const ProgramResult version = ctl({"--version"});
    EXPECT_TRUE(std::regex_match(version.out, std::regex("tempikctl V1\\.40-01 \\(revision [0-9a-f]{12}\\)\n|"
                                                         "tempikctl V1\\.40-01 \\(revision unknown\\)\n")))
        << version.out;
}

TEST_F(Readers, AnNgOrOtherReplyIsReportedAndFailsOnlyWithStrictAndTheLogKeepsEveryExchange)
{
    PseudoTerminal pty;
    ASSERT_EQ(::mkdir(folder().c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((folder() + "/ports").c_str(), 0755), 0);
    ASSERT_EQ(::symlink(pty.slavePath().c_str(), (folder() + "/ports/COM4").c_str()), 0);
    std::atomic<bool> ng{true};
    FarEnd reader(pty, [&](const std::string& payload, int) {
        if (payload.rfind("0000BE", 0) == 0)
            return FarEnd::Answer{buildReplyFrame(ng ? "004200BENG" : "00420012345678"), false};
        return FarEnd::answering(payload, 0);
    });
    const std::string log = root.path() + "/exchanges.log";
    const ProgramResult lenient = ctl({"-p", "4", "set-volume", "3", "--json", "--log", log});
    EXPECT_EQ(lenient.exitCode, 0);
    EXPECT_EQ(lenient.out, "{\"command\":\"set-volume\",\"outcome\":\"accepted\",\"message\":\"Set Ok\",\"port\":4,"
                           "\"device\":\"" + folder() + "/ports/COM4\",\"serial\":\"12345678\",\"reply\":\"NG\"}\n");
    EXPECT_EQ(ctl({"-p", "4", "--strict", "set-volume", "3", "--log", log}).exitCode, 1);

    std::ifstream in(log);
    const std::string device = folder() + "/ports/COM4";
    const std::regex line("\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{3}Z COM4 " + device +
                          " request=(0000AS reply=00420012345678|0000BE3 reply=004200BENG)");
    int lines = 0;
    for (std::string text; std::getline(in, text); ++lines)
        EXPECT_TRUE(std::regex_match(text, line)) << text;
    EXPECT_EQ(lines, 4);

    // A well-formed reply that is not the command's own OK.
    ng = false;
    EXPECT_EQ(ctl({"-p", "4", "set-volume", "3"}).out, "Set Ok (COM4 " + device + ", S/N 12345678, reply other)\n");
    EXPECT_EQ(ctl({"-p", "4", "--strict", "set-volume", "3"}).exitCode, 1);

    // A status query answered by a command's reply is no status: no serial number comes of it.
    PseudoTerminal confused;
    ASSERT_EQ(::symlink(confused.slavePath().c_str(), (folder() + "/ports/COM5").c_str()), 0);
    FarEnd other(confused, [](const std::string&, int) { return FarEnd::Answer{buildReplyFrame("004200BENG"), false}; });
    EXPECT_EQ(ctl({"-p", "5", "set-volume", "3"}).out, "Set Error (COM5 " + folder() + "/ports/COM5, S/N -, reply none)\n");
}

TEST_F(Readers, AllFindsEveryReaderEachAtItsOwnLineAndSetsThemAtOnce)
{
    SimProcess first(readerAt(1, root.path(), {"--serial", "11111111"}));
    SimProcess second(readerAt(2, root.path(), {"--line", "9600,n,8,1", "--serial", "22222222"}));
    SimProcess fifth(readerAt(5, root.path(), {"--serial", "55555555"}));
    SimProcess eighth(readerAt(8, root.path(), {"--line", "38400,e,8,1", "--serial", "88888888"}));
    for (SimProcess* sim : {&first, &second, &fifth, &eighth})
        ASSERT_TRUE(sim->ready()) << sim->failure();
    const std::string log = root.path() + "/all.log";

    const ProgramResult set = ctl({"--all", "--unlock", "set-volume", "5", "--log", log});
    EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
    EXPECT_EQ(set.out, "Set Ok (COM1 " + first.portLinkPath() + ", S/N 11111111, reply OK)\n"
                       "Set Ok (COM2 " + second.portLinkPath() + ", S/N 22222222, reply OK)\n"
                       "Set Ok (COM5 " + fifth.portLinkPath() + ", S/N 55555555, reply OK)\n"
                       "Set Ok (COM8 " + eighth.portLinkPath() + ", S/N 88888888, reply OK)\n"
                       "found 4, accepted 4, failed 0, unreachable 0\n");
    for (SimProcess* sim : {&first, &second, &fifth, &eighth})
        EXPECT_EQ(volumeOf(*sim), "5") << sim->port();
    // The first reader in port order is remembered. (A pseudo-terminal keeps no parity, so the
    // unlocked sweep finds each at the first definition of its speed.)
    EXPECT_EQ(ctl({"settings"}).out, "ScanCommNo=1\nScanBaudRateNo=4\nScanBaudRate=19200,n,8,1\nLanguageFlag=English\n");

    // Each port's requests are the sweep's on that port alone: two unanswered status queries per
    // definition tried, the answered one, the version, then the operation.
    std::map<std::string, std::string> requests;
    std::ifstream in(log);
    for (std::string text; std::getline(in, text);) {
        std::smatch m;
        ASSERT_TRUE(std::regex_search(text, m, std::regex(" (COM\\d) .* request=(\\w+) reply=(-|.)"))) << text;
        requests[m[1]] += m[2].str() + (m[3] == "-" ? "- " : "+ ");
    }
    auto sweep = [](int unanswered) {
        std::string text;
        for (int i = 0; i < unanswered; ++i)
            text += "0000AS- ";
        return text + "0000AS+ 0000AV+ 0000AS+ 0000BE5+ ";
    };
    EXPECT_EQ(requests["COM1"], sweep(2 * 4));
    EXPECT_EQ(requests["COM2"], sweep(2 * 2));
    EXPECT_EQ(requests["COM5"], sweep(2 * 4));
    EXPECT_EQ(requests["COM8"], sweep(2 * 6));

    const ProgramResult some = ctl({"--all", "--ports", "2,5-7", "--unlock", "scan", "--json"});
    EXPECT_EQ(some.exitCode, 0);
    EXPECT_EQ(std::regex_replace(some.out, std::regex(",\"(device|message|line|identifier|version)\":\"[^\"]*\""), ""),
              "[{\"command\":\"scan\",\"outcome\":\"found\",\"port\":2,\"serial\":\"22222222\"},"
              "{\"command\":\"scan\",\"outcome\":\"found\",\"port\":5,\"serial\":\"55555555\"}]\n");
}

TEST_F(Readers, PortsListsEachEntryWithWhatItIsAndWhetherItMayBeOpened)
{
    SimProcess sim(readerAt(1, root.path()));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    // A device node of /dev/null's numbers that nobody may open, and an entry with no device.
    const std::string locked = root.path() + "/locked";
    if (geteuid() != 0 || ::mknod(locked.c_str(), S_IFCHR | 0000, makedev(1, 3)) != 0)
        GTEST_SKIP() << "making a device node needs root";
    ASSERT_EQ(::chmod(sim.slavePath().c_str(), 0666), 0);   // the reader's own line is open to all
    const std::string ports = folder() + "/ports/";
    ASSERT_EQ(::symlink(locked.c_str(), (ports + "COM2").c_str()), 0);
    ASSERT_EQ(::symlink((root.path() + "/unplugged\x1b[2J\xff").c_str(), (ports + "COM3").c_str()), 0);
    // What an operation opens: the URL of a URL file, but a link to one, or one too long to be
    // read, is a file like any other; so are an empty file and a folder.
    writeFile(ports + "COM4", "rfc2217://127.0.0.1:4001\n");
    writeFile(root.path() + "/url.txt", "socket://127.0.0.1:4002\n");
    ASSERT_EQ(::symlink((root.path() + "/url.txt").c_str(), (ports + "COM5").c_str()), 0);
    writeFile(ports + "COM6", "socket://127.0.0.1:4003?" + std::string(2000, '0') + "\n");
    writeFile(ports + "COM7", "");
    ASSERT_EQ(::mkdir((ports + "COM8").c_str(), 0755), 0);
    ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);

    const ProgramResult result = runUnprivileged(ctlBinaryPath(), {"ports"}, root.path());
    if (const std::string why = couldNotRun(result); !why.empty())
        GTEST_SKIP() << "user nobody cannot run tempikctl here: " << why;
    const std::string noUrl = "  regular file  not a serial device (a network port's URL must be the entry itself, "
                              "on a first line of at most 1024 bytes)\n";
    EXPECT_EQ(result.out, "COM1  " + ports + "COM1 -> " + sim.slavePath() + "  pseudo-terminal  free\n"
                          "COM2  " + ports + "COM2 -> " + locked + "  character device  permission denied (mode 0000, group root): the device's owner must grant read and write access\n"
                          "COM3  " + ports + "COM3 -> " + root.path() + "/unplugged\\x1b[2J\\xff  -  missing (no device behind the entry)\n"
                          "COM4  rfc2217://127.0.0.1:4001  RFC 2217 server  network\n"
                          "COM5  " + ports + "COM5 -> " + root.path() + "/url.txt" + noUrl +
                          "COM6  " + ports + "COM6" + noUrl +
                          "COM7  " + ports + "COM7  regular file  not a serial device\n"
                          "COM8  " + ports + "COM8  folder  not a serial device\n")
        << result.err;

    // A scan that finds no reader names the port it was refused and the remedy.
    const ProgramResult scan = runUnprivileged(ctlBinaryPath(), {"--all", "--ports", "2", "scan"}, root.path());
    EXPECT_EQ(scan.exitCode, 3);
    EXPECT_NE(scan.err.find("tempikctl: COM2 (" + ports + "COM2): permission denied (mode 0000, group root): "
                            "the device's owner must grant read and write access\n"),
              std::string::npos)
        << scan.err;
}

// Eight readers at eight lines: one unlocked scan remembers each where it is, and a set command
// then reaches all eight without --unlock. A remembered reader that is gone is named, and fails
// the run.
TEST_F(Readers, AllRemembersEveryReaderAtItsOwnLineAndNamesTheOnesNotReached)
{
    const std::vector<std::string> lines = {"4800,n,8,1",  "9600,e,8,1",  "19200,n,8,1",  "19200,e,8,1",
                                            "38400,n,8,1", "57600,e,8,1", "115200,n,8,1", "230400,e,8,1"};
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (int port = 1; port <= 8; ++port) {
        const std::string serial(8, static_cast<char>('0' + port));
        sims.push_back(std::make_unique<SimProcess>(
            readerAt(port, root.path(), {"--line", lines[static_cast<size_t>(port - 1)], "--serial", serial})));
        ASSERT_TRUE(sims.back()->ready()) << sims.back()->failure();
    }
    const ProgramResult scan = ctl({"--all", "--unlock", "scan"});
    ASSERT_EQ(scan.exitCode, 0) << scan.out << scan.err;
    // A pseudo-terminal keeps no parity: each is found at the first definition of its speed.
    const ProgramResult readers = ctl({"readers"});
    EXPECT_EQ(std::regex_replace(readers.out, std::regex(" /\\S+ (\\S+) (\\d{8}) \\S+ \\S+ \\S+Z\n"), " $1 $2\n"),
              "COM1 4800,n,8,1 11111111\nCOM2 9600,n,8,1 22222222\nCOM3 19200,n,8,1 33333333\n"
              "COM4 19200,n,8,1 44444444\nCOM5 38400,n,8,1 55555555\nCOM6 57600,n,8,1 66666666\n"
              "COM7 115200,n,8,1 77777777\nCOM8 230400,n,8,1 88888888\n");
    EXPECT_EQ(ctl({"readers", "--json"}).out.rfind("[{\"port\":1,\"line\":\"4800,n,8,1\",\"serial\":\"11111111\",", 0), 0u);

    const ProgramResult set = ctl({"--all", "set-volume", "7"});
    EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
    std::string volumes;
    for (const auto& sim : sims)
        volumes += volumeOf(*sim);
    EXPECT_EQ(volumes, "77777777");

    // COM2's reader moves to another line behind tempikctl's back, and COM4's is gone: the first
    // is swept again on its port and remembered at its new line, the second named.
    ASSERT_EQ(ctl({"--port", "2", "--line", "9600,n,8,1", "set-baud", "57600,n,8,1"}).exitCode, 0);
    const std::string gonePath = sims[3]->portLinkPath();
    sims[3].reset();
    const ProgramResult gone = ctl({"--all", "--unlock", "set-volume", "2"});
    EXPECT_EQ(gone.exitCode, 1);
    EXPECT_EQ(std::regex_replace(gone.out, std::regex("Set Ok \\(COM[1-8] [^\n]*\n"), ""),
              "Reader Not Find (COM4 " + gonePath + ", S/N 44444444, remembered at 19200,n,8,1)\n"
              "found 7, accepted 7, failed 0, unreachable 1\n");
    EXPECT_NE(ctl({"readers"}).out.find("COM2 " + sims[1]->portLinkPath() + " 57600,n,8,1 22222222 "), std::string::npos);
    const ProgramResult json = ctl({"--all", "--ports", "3-4", "set-volume", "2", "--json"});
    EXPECT_NE(json.out.find("{\"command\":\"set-volume\",\"outcome\":\"unreachable\",\"message\":\"Reader Not Find\","
                            "\"port\":4,\"device\":\"" + gonePath + "\",\"line\":\"19200,n,8,1\",\"serial\":\"44444444\""),
              std::string::npos)
        << json.out;
    EXPECT_EQ(json.err, "found 1, accepted 1, failed 0, unreachable 1\n");
}
