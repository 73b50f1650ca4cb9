// The real tempikctl binary when things go wrong around it: the reader vanishes between
// commands and in the middle of one (an icon upload too, where writes go to a slave whose master
// is gone), the port is held by another program, the configuration folder cannot be written,
// and the settings file is replaced by garbage between two runs. How long each run takes is a
// figure of bench/fault_bench.
#include "tests/support/far_end.h"
#include "tests/support/sim_process.h"
#include "settings/settings_file_store.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sys/stat.h>
#include <termios.h>
#include <thread>
#include <unistd.h>

using namespace tempik;
using namespace tempik::testing;

namespace {

ProgramResult ctl(const std::vector<std::string>& args, const std::function<void(pid_t)>& started = {})
{
    return runProgram(ctlBinaryPath(), args, std::chrono::seconds(10), false, started);
}

ProgramResult ctlUnprivileged(const std::vector<std::string>& args, const std::string& reachableFolder)
{
    return runUnprivileged(ctlBinaryPath(), args, reachableFolder);
}

const char* const notSaved = "tempikctl: the settings could not be saved in ";

std::string storedSettings(const std::string& lines)
{
    return std::string("REGEDIT4\n\n[") + SettingsFileStore::keyPath + "]\n" + lines;
}

class TempikctlFaults : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(sim.ready()) << sim.failure();
        setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
    }
    std::string storePath() const { return sim.configFolder() + "/" + SettingsFileStore::fileName; }

    SimProcess sim{SimSetup{}};   // on COM3 at 19200,e,8,1
};

} // namespace

TEST_F(TempikctlFaults, ReaderUnpluggedBetweenCommandsEndsInSetErrorAndNotFound)
{
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    // SIGKILL closes the simulator's master: the device and its node are gone. A test running
    // beside this one may be given the same pseudo-terminal number at once, so the link is
    // turned to a node nobody creates, lest it lead to that test's reader.
    sim.stop(SIGKILL);
    std::filesystem::remove(sim.portLinkPath());
    std::filesystem::create_symlink(sim.configRoot() + "/unplugged", sim.portLinkPath());

    const ProgramResult set = ctl({"set-volume", "3"});
    EXPECT_EQ(set.signal, 0);
    EXPECT_EQ(set.exitCode, 3);
    EXPECT_EQ(set.out, "Set Error (COM3 " + sim.portLinkPath() + ", S/N -, reply none)\n");
    EXPECT_NE(set.err.find("COM3: no such port"), std::string::npos) << set.err;

    const ProgramResult scan = ctl({"scan"});
    EXPECT_EQ(scan.signal, 0);
    EXPECT_EQ(scan.exitCode, 1);
    EXPECT_EQ(scan.out, "Reader Not Find\n");
}

// A status query frame is 13 bytes; a picture block 78.
TEST_F(TempikctlFaults, DeviceVanishingInTheMiddleOfAnOperationIsSetErrorNotASignal)
{
    const std::string icon = sim.configRoot() + "/dot.ico";
    writeFile(icon, std::string(70, '\0') + std::string(256, '\x7F'));
    struct Row {
        const char* name;
        std::vector<std::string> args;
        size_t vanishAfterBytes;
    };
    const std::vector<Row> rows = {
        {"set-volume, in the middle of the command frame", {"set-volume", "3"}, 13 + 5},
        {"set-icon, in the middle of the third block", {"set-icon", icon}, 13 + 2 * 78 + 30},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PseudoTerminal pty;
        const std::string link = sim.configFolder() + "/ports/COM4";
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(pty.slavePath().c_str(), link.c_str()), 0);
        writeFile(storePath(), storedSettings("\"ScanCommNo\"=dword:00000004\n"));
        FarEnd reader(pty, FarEnd::answering, row.vanishAfterBytes);
        const ProgramResult result = ctl(row.args);
        // Killed by SIGPIPE or SIGHUP would show here, not as an exit code.
        EXPECT_EQ(result.signal, 0);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.out.substr(0, result.out.find(" (")), "Set Error");
        EXPECT_TRUE(reader.vanished());
    }
}

TEST_F(TempikctlFaults, APortHeldByAnotherProgramIsSkippedNamedAndNeverWrittenTo)
{
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    const std::string before = sim.stateText();
    const std::string named = "tempikctl: COM3 (" + sim.portLinkPath() + "): port is in use by another program\n";
    const std::string unopened = "[{\"port\":3,\"device\":\"" + sim.portLinkPath() + "\",\"error\":\"port is in use by another program\"}]";
    {
        PortHolder holder(sim.slavePath());
        ASSERT_TRUE(holder.held());
        const ProgramResult set = ctl({"set-volume", "3", "--json"});
        EXPECT_EQ(set.exitCode, 3);
        EXPECT_EQ(set.out, "{\"command\":\"set-volume\",\"outcome\":\"failed\",\"message\":\"Set Error\","
                           "\"port\":3,\"device\":\"" + sim.portLinkPath() + "\",\"serial\":\"\",\"reply\":\"none\","
                           "\"error\":\"port is in use by another program\"}\n");

        const ProgramResult scan = ctl({"scan", "--json"});
        EXPECT_EQ(scan.exitCode, 1);
        EXPECT_EQ(scan.out, "{\"command\":\"scan\",\"outcome\":\"not-found\",\"message\":\"Reader Not Find\","
                            "\"unopened\":" + unopened + "}\n");
        EXPECT_EQ(scan.err, named);
        EXPECT_EQ(ctl({"--port", "3", "scan"}).exitCode, 3);
        const ProgramResult all = ctl({"--all", "--ports", "3", "set-volume", "3", "--json"});
        EXPECT_EQ(all.out, "[{\"command\":\"set-volume\",\"outcome\":\"not-opened\",\"port\":3,\"device\":\"" +
                               sim.portLinkPath() + "\",\"error\":\"port is in use by another program\"}]\n");
        EXPECT_EQ(all.err, "found 0, accepted 0, failed 0, unreachable 0\n" + named);
        EXPECT_EQ(all.exitCode, 3);
        EXPECT_EQ(sim.stateText(), before) << "nothing may reach a port another program holds";
    }
    // Scans that could not look found no absence: the reader is still the known one.
    const ProgramResult set = ctl({"set-volume", "3"});
    EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
    EXPECT_EQ(sim.stateField("volume").value_or(""), "3");
}

TEST_F(TempikctlFaults, AReadOnlyConfigurationFolderLetsTheOperationWorkAndSaysTheSettingsWereNotSaved)
{
    // The unprivileged run must reach the tool's folder and the reader's device.
    ASSERT_EQ(::chmod(sim.configRoot().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(sim.slavePath().c_str(), 0666), 0);
    ASSERT_EQ(::chmod(sim.configFolder().c_str(), 0555), 0);

    const ProgramResult scan = ctlUnprivileged({"scan"}, sim.configRoot());
    EXPECT_EQ(scan.signal, 0);
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_EQ(scan.out.substr(0, scan.out.find('\n')), "Get Reader Info Ok. (COM : #3)");
    EXPECT_NE(scan.err.find(notSaved + storePath()), std::string::npos) << scan.err;
    EXPECT_EQ(::access(storePath().c_str(), F_OK), -1);

    // The reader takes the new line, and the user learns that it is not remembered.
    const ProgramResult baud = ctlUnprivileged({"set-baud", "38400,e,8,1", "--port", "3", "--json"}, sim.configRoot());
    EXPECT_EQ(baud.exitCode, 0) << baud.err;
    EXPECT_EQ(baud.out, "{\"command\":\"set-baud\",\"outcome\":\"accepted\",\"message\":\"Set Ok\",\"port\":3,"
                        "\"device\":\"" + sim.portLinkPath() + "\",\"serial\":\"20261208\",\"reply\":\"OK\","
                        "\"settingsSaved\":false}\n");
    EXPECT_NE(baud.err.find(notSaved), std::string::npos) << baud.err;
    EXPECT_EQ(sim.stateField("line").value_or(""), "38400,e,8,1");
    EXPECT_EQ(::access(storePath().c_str(), F_OK), -1);
    ::chmod(sim.configFolder().c_str(), 0755);
}

// A root run (sudo -E) in a user's configuration folder writes through no link the user planted
// there to a file he could not write himself, and what it makes there stays the user's.
TEST_F(TempikctlFaults, ARootRunFollowsNoLinkToAFileTheUserCouldNotWrite)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a folder and its links to nobody";
    TempFolder system;
    ASSERT_EQ(::chmod(system.path().c_str(), 0755), 0);
    const std::string lastScan = sim.configFolder() + "/tempikctl-last-scan";
    ASSERT_EQ(::chown(sim.configFolder().c_str(), nobodyId, nobodyId), 0);
    for (const std::string& link : {storePath(), lastScan}) {
        const std::string target = system.path() + "/" + link.substr(link.rfind('/') + 1);
        writeFile(target, "root's own\n");
        ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
        ASSERT_EQ(::lchown(link.c_str(), nobodyId, nobodyId), 0);
    }
    const ProgramResult scan = ctl({"scan"});
    EXPECT_EQ(scan.exitCode, 0);
    EXPECT_NE(scan.err.find(notSaved + storePath()), std::string::npos) << scan.err;
    EXPECT_NE(scan.err.find("could not record the scan's outcome"), std::string::npos) << scan.err;
    for (const char* name : {"TEMPIKConfig.reg", "tempikctl-last-scan"})
        EXPECT_EQ(fileText(system.path() + "/" + name), "root's own\n") << name;

    // Without the links the files are made anew, as the user's; then each keeps its mode.
    for (const std::string& link : {storePath(), lastScan})
        ASSERT_EQ(::unlink(link.c_str()), 0);
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    ASSERT_EQ(::chmod(lastScan.c_str(), 0640), 0);
    ASSERT_EQ(ctl({"scan", "-l", "0"}).exitCode, 1);
    EXPECT_EQ(fileText(lastScan), "not-found\n");
    for (const std::string& made : {storePath(), lastScan}) {
        struct stat status {};
        ASSERT_EQ(::stat(made.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, nobodyId) << made;
        EXPECT_EQ(status.st_mode & 07777, made == lastScan ? 0640u : 0600u) << made;
    }
}

TEST_F(TempikctlFaults, GarbageInTheSettingsFileBetweenTwoRuns)
{
    struct Row {
        const char* name;
        std::function<std::string()> garbage;
        bool saved;   // a file over the store's size limit is neither read nor rewritten
    };
    const std::vector<Row> rows = {
        {"random bytes with NULs", [] { return randomBytes(64 * 1024, 11); }, true},
        {"one huge line", [] { return std::string(900 * 1024, 'x'); }, true},
        {"a program", [] { return fileText(ctlBinaryPath()).substr(0, 512 * 1024); }, true},
        {"our key cut off in a value", [] { return storedSettings("\"ScanCommNo\"=dword:0000"
                                                                  "0003\n\"ScanBaudRate\"=\"19200,e"); }, true},
        {"an oversized file", [] { return randomBytes(2 * 1024 * 1024, 13); }, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const ProgramResult first = ctl({"scan"});
        ASSERT_EQ(first.exitCode, 0) << first.err;
        ASSERT_EQ(first.err, "");

        const std::string garbage = row.garbage();
        writeFile(storePath(), garbage);
        const ProgramResult second = ctl({"scan"});
        EXPECT_EQ(second.signal, 0);
        EXPECT_EQ(second.exitCode, 0) << second.err;
        EXPECT_EQ(second.out.substr(0, second.out.find('\n')), "Get Reader Info Ok. (COM : #3)");

        const ProgramResult settings = ctl({"settings"});
        EXPECT_EQ(settings.exitCode, 0);
        if (row.saved) {
            EXPECT_EQ(second.err, "");
            EXPECT_EQ(settings.out, "ScanCommNo=3\nScanBaudRateNo=5\nScanBaudRate=19200,e,8,1\nLanguageFlag=English\n");
        } else {
            EXPECT_NE(second.err.find(notSaved + storePath()), std::string::npos) << second.err;
            EXPECT_EQ(fileText(storePath()), garbage);
            EXPECT_EQ(settings.out, "ScanCommNo=0\nScanBaudRateNo=5\nScanBaudRate=19200,e,8,1\nLanguageFlag=English\n");
        }
        ::unlink(storePath().c_str());
    }
}

// Ctrl-C, a kill or a hang-up in the middle of a sweep: the port tried is closed on the way out,
// so the terminal there gets back its line state, and the run still ends by its signal.
TEST(TempikctlSignals, StopSignalClosesThePortAndEndsTheRun)
{
    for (const int sig : {SIGINT, SIGTERM, SIGHUP}) {
        SCOPED_TRACE(strsignal(sig));
        TempFolder root;
        const std::string folder = root.path() + "/KESTO";
        ASSERT_EQ(mkdir(folder.c_str(), 0755), 0);
        ASSERT_EQ(mkdir((folder + "/ports").c_str(), 0755), 0);
        PseudoTerminal pty;
        ASSERT_EQ(symlink(pty.slavePath().c_str(), (folder + "/ports/COM1").c_str()), 0);
        const int held = pty.holdSlave();
        struct termios found {};
        tcgetattr(held, &found);
        setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);

        bool opened = false;
        // Every definition on COM1: seconds of sweep, ample time for the signal to come first.
        const ProgramResult result = ctl({"--unlock", "scan"}, [&](pid_t pid) {
            // Once the sweep has the port open (its line raw), the signal comes.
            for (int i = 0; i < 5000 && !opened; ++i) {
                opened = (pty.slaveTermios().c_lflag & ICANON) == 0;
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
            kill(pid, sig);
        });
        ASSERT_TRUE(opened);
        EXPECT_EQ(result.signal, sig) << result.err;
        EXPECT_TRUE(result.out.empty()) << result.out;
        const struct termios after = pty.slaveTermios();
        EXPECT_EQ(after.c_lflag, found.c_lflag);
        EXPECT_EQ(cfgetospeed(&after), cfgetospeed(&found));
    }
}
