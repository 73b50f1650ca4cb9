// tempik-config.exe under Wine on the virtual display of tests/wine/run.sh, against the
// simulated reader on COM12, driven as a user drives it: keys and clicks through xdotool, values
// put into the controls, and the results read from the simulator and from the window's own
// controls (window_probe.exe).
#include "tests/support/sim_process.h"
#include "texts/text_table.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <regex>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

using namespace tempik;
using namespace tempik::testing;

namespace {

constexpr const char* ownKey = "HKCU\\Software\\KESTO\\TEMPIKConfig";

std::string windowsBuild()
{
    const char* value = std::getenv("TEMPIK_WINDOWS_BUILD");
    return value ? value : "";
}

std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

ProgramResult run(const std::string& program, std::vector<std::string> args)
{
    ProgramResult result = runProgram(program, args, std::chrono::seconds(90));
    result.out = withoutCarriageReturns(result.out);
    return result;
}

ProgramResult wine(std::vector<std::string> args) { return run("/usr/bin/wine", std::move(args)); }

// One or more probe steps; the output of the reading steps.
ProgramResult probe(std::vector<std::string> steps)
{
    steps.insert(steps.begin(), windowsBuild() + "/tests/windows/window_probe.exe");
    return wine(steps);
}

std::string shown(const std::string& control) { return probe({"text", control}).out; }

// The window as a process of the test: started, and killed with its Wine process at the end.
class WindowProcess {
public:
    WindowProcess()
    {
        const std::string exe = windowsBuild() + "/app/tempik-config.exe";
        char* argv[] = {const_cast<char*>("wine"), const_cast<char*>(exe.c_str()), nullptr};
        posix_spawn(&pid_, "/usr/bin/wine", nullptr, nullptr, argv, environ);
        const ProgramResult found = run("/usr/bin/xdotool", {"search", "--sync", "--onlyvisible", "--name", "KESTO"});
        window_ = found.out.substr(0, found.out.find('\n'));
    }
    ~WindowProcess()
    {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    WindowProcess(const WindowProcess&) = delete;
    WindowProcess& operator=(const WindowProcess&) = delete;

    bool shows() const { return !window_.empty(); }
    // Keys as the operator presses them, to the window (it takes the keyboard focus first).
    void press(const std::string& keys) const
    {
        run("/usr/bin/xdotool", {"windowfocus", "--sync", window_, "key", keys});
    }
    // A mouse click at the control's centre.
    void clickOn(const std::string& control) const
    {
        std::string where = probe({"where", control}).out;
        const std::string x = where.substr(0, where.find(' '));
        const std::string y = where.substr(where.find(' ') + 1, where.find('\n') - where.find(' ') - 1);
        run("/usr/bin/xdotool", {"mousemove", "--sync", x, y, "click", "1"});
    }

private:
    pid_t pid_ = -1;
    std::string window_;
};

// The requests the simulator answered, by payload: "0000AS 0000AV".
std::string requestsSeen(const SimProcess& sim)
{
    std::string seen;
    static const std::regex line(R"(tempik-sim: (\d{4}[A-Z]{2})[^\n]*)");
    const std::string err = sim.errorOutput();
    for (auto it = std::sregex_iterator(err.begin(), err.end(), line); it != std::sregex_iterator(); ++it)
        seen += (seen.empty() ? "" : " ") + (*it)[1].str();
    return seen;
}

class WineWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(root.empty()) << "run through tests/wine/run.sh";
        wine({"reg", "delete", ownKey, "/f"});
        wine({"reg", "add", ownKey, "/v", "ScanCommNo", "/t", "REG_DWORD", "/d", "12", "/f"});
        wine({"reg", "add", ownKey, "/v", "ScanBaudRateNo", "/t", "REG_DWORD", "/d", "7", "/f"});
        wine({"reg", "add", ownKey, "/v", "ScanBaudRate", "/t", "REG_SZ", "/d", "38400,e,8,1", "/f"});
    }

    const std::string root = std::getenv("TEMPIK_WINE_ROOT") ? std::getenv("TEMPIK_WINE_ROOT") : "";
};

TEST_F(WineWindowTest, AltSScansEveryButtonSendsItsCommandAndTheLanguageSwitches)
{
    SimProcess sim(SimSetup{{"--line", "38400,e,8,1", "--verbose"}, 12, true, root});
    ASSERT_TRUE(sim.ready()) << sim.failure();
    WindowProcess window;
    ASSERT_TRUE(window.shows());
    // Start-up with the stored settings: the stored line definition is selected, nothing is sent.
    EXPECT_EQ(probe({"text", "pnMsg", "text", "cmbBaudRate"}).out, "Start Scan Punch-card Reader!\n38400,e,8,1\n");

    window.press("alt+s");
    ASSERT_EQ(probe({"wait", "pnMsg", "Get Reader Info Ok. (COM : #12)"}).exitCode, 0) << shown("pnMsg");
    EXPECT_EQ(probe({"text", "pnSerial", "text", "pnVersion", "text", "pnID"}).out,
              "S/N : 20261208\nVER : 01.40-01\n0001\n");
    EXPECT_EQ(requestsSeen(sim), "0000AS 0000AV");   // the remembered port and line answered at once
    EXPECT_EQ(wine({"reg", "query", ownKey, "/v", "ScanCommNo"}).out.find("0xc") != std::string::npos, true);

    struct Row {
        std::vector<std::string> setUp;   // probe steps that put the value in
        const char* button;
        const char* field;
        std::string expected;
    };
    const std::vector<Row> rows = {
        {{"select", "cmbSound", "3"}, "btnVolume", "volume", "3"},
        {{"select", "cmbHour", "1"}, "btnDateTime", "hourMode", "1"},
        {{"select", "cmbLanguage", "2"}, "btnLanguage", "language", "2"},
        {{"type", "edPassword", "1234"}, "btnPassword", "password", "1234"},
        {{"select", "cmbCardType", "1"}, "btnCardType", "cardType", "1"},
        {{"type", "edBackLight", "7"}, "btnBackLight", "backlight", "7"},
        {{"type", "edWork", "250"}, "btnWorkMode", "workTime", "250"},
        {{"select", "cmbIdle", "1"}, "btnIdle", "idleScreen", "1"},
        {{"select", "cmbTitle", "1"}, "btnSetTitleMode", "titleMode", "1"},
        {{"type", "edTitle", "Caf\xc3\xa9"}, "btnTitle", "titleText", "Caf\xe9            "},
        {{"type", "edInstall", "Gate 2"}, "btnInstall", "installMessage", "Gate 2          "},
        {{"type", "edMessage", "Welcome"}, "btnTitleMessage", "titleMessage", "Welcome" + std::string(121, ' ')},
        {{"type", "edShow", "Hi"}, "btnShowMessage", "showMessage", "Hi" + std::string(62, ' ')},
        {{}, "btnTitleClear", "titleText", std::string(16, ' ')},
        {{}, "btnClrInstall", "installMessage", std::string(16, ' ')},
        {{}, "btnClrTitle", "titleMessage", std::string(128, ' ')},
        {{"select", "sbID", "42"}, "btnID", "identifier", "0042"},
        {{"select", "cmbBaudRate", "9"}, "btnBaudRate", "line", "57600,e,8,1"},
        {{}, "btnFactoryDefault", "line", "19200,e,8,1"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.button);
        std::vector<std::string> steps = row.setUp;
        for (const std::string& step : {"type", "pnMsg", ""})
            steps.push_back(step);   // a message no operation writes, to see this one's
        steps.insert(steps.end(), {"click", row.button, "wait", "pnMsg", "Set Ok"});
        const ProgramResult done = probe(steps);
        EXPECT_EQ(done.exitCode, 0) << done.out;
        EXPECT_EQ(sim.stateField(row.field).value_or("<missing>"), row.expected);
    }
    const ProgramResult line = wine({"reg", "query", ownKey, "/v", "ScanBaudRate"});
    EXPECT_NE(line.out.find("19200,e,8,1"), std::string::npos) << line.out;

    // The language: the texts, the reader display list and the stored flag switch at once.
    window.clickOn("btnGB");
    EXPECT_EQ(probe({"wait", "pnMsg", text(txtStartScan, simplifiedChinese)}).exitCode, 0);
    EXPECT_EQ(shown("btnScan"), text(txtScanReader, simplifiedChinese) + "\n");
    EXPECT_NE(wine({"reg", "query", ownKey, "/v", "LanguageFlag"}).out.find("ChineseGB"), std::string::npos);
}

TEST_F(WineWindowTest, TheBusyWindowRefusesClicksAndAReaderKilledMidOperationIsSetError)
{
    SimProcess sim(SimSetup{{"--line", "38400,e,8,1", "--verbose"}, 12, true, root});
    ASSERT_TRUE(sim.ready()) << sim.failure();
    WindowProcess window;
    ASSERT_TRUE(window.shows());
    window.press("alt+s");
    ASSERT_EQ(probe({"wait", "pnMsg", "Get Reader Info Ok. (COM : #12)"}).exitCode, 0) << shown("pnMsg");

    // A reader that stopped answering: the scan, unlocked, sweeps every port and line for seconds;
    // a click on a set button meanwhile starts nothing.
    ::kill(sim.pid(), SIGSTOP);
    probe({"select", "chkLock", "0"});
    window.press("alt+s");
    ASSERT_EQ(probe({"enabled", "0"}).exitCode, 0);
    window.clickOn("btnVolume");
    ASSERT_EQ(probe({"enabled", "1"}).exitCode, 0);
    EXPECT_EQ(shown("pnMsg"), text(txtReaderNotFound, english) + "\n");

    // Killed in the middle of a set operation: "Set Error", and the window works on.
    ::kill(sim.pid(), SIGCONT);
    window.press("alt+s");
    ASSERT_EQ(probe({"wait", "pnMsg", "Get Reader Info Ok. (COM : #12)"}).exitCode, 0) << shown("pnMsg");
    ::kill(sim.pid(), SIGSTOP);
    ASSERT_EQ(probe({"click", "btnVolume", "enabled", "0"}).exitCode, 0);
    sim.stop(SIGKILL);
    EXPECT_EQ(probe({"wait", "pnMsg", "Set Error", "enabled", "1"}).exitCode, 0) << shown("pnMsg");
    window.clickOn("btnEng");
    EXPECT_EQ(probe({"wait", "pnMsg", "Start Scan Punch-card Reader!"}).exitCode, 0);
}

} // namespace
