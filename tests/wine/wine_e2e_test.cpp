// tempikctl.exe under Wine against the simulated reader. tests/wine/run.sh makes the Wine prefix
// (every COM port mapped to nothing, then COM12 and COM14 to links in TEMPIK_WINE_ROOT) and runs
// this program inside it; it is no CTest test, so the Linux suite never needs Wine.
#include "tests/support/far_end.h"
#include "tests/support/sim_process.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <regex>
#include <csignal>
#include <sys/stat.h>
#include <thread>
#include <termios.h>
#include <unistd.h>

using namespace tempik::testing;

namespace {

constexpr const char* ownKey = "HKCU\\Software\\KESTO\\TEMPIKConfig";
constexpr const char* machineKey = "HKLM\\Software\\KESTO\\TEMPIKConfig";

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Wine's console ends lines with CR LF.
std::string withoutCarriageReturns(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
    return text;
}

ProgramResult wine(std::vector<std::string> args)
{
    ProgramResult result = runProgram("/usr/bin/wine", args, std::chrono::seconds(60));
    result.out = withoutCarriageReturns(result.out);
    result.err = withoutCarriageReturns(result.err);
    return result;
}

ProgramResult ctl(std::vector<std::string> args)
{
    args.insert(args.begin(), environment("TEMPIK_WINDOWS_BUILD") + "/app/tempikctl.exe");
    return wine(args);
}

// The termios of a pseudo-terminal, read through its slave.
struct termios lineOf(const std::string& slavePath)
{
    struct termios line {};
    const int fd = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
    tcgetattr(fd, &line);
    ::close(fd);
    return line;
}

// UTF-16 LE with its mark, as Notepad saves "Unicode" and regedit reads names beyond ASCII.
std::string utf16(const std::string& utf8)
{
    std::string bytes = "\xff\xfe";
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        const size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : 3;   // the tests' texts are in the BMP
        unsigned unit = length == 1 ? lead : length == 2 ? lead & 0x1F : lead & 0x0F;
        for (size_t k = 1; k < length; ++k)
            unit = unit << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
        i += length;
    }
    return bytes;
}

class WineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(root.empty()) << "run through tests/wine/run.sh";
        for (const char* key : {ownKey, machineKey})
            wine({"reg", "delete", key, "/f"});
    }

    SimProcess startReader(int port, const std::string& line)
    {
        return SimProcess(SimSetup{{"--line", line}, port, true, root});
    }

    const std::string root = environment("TEMPIK_WINE_ROOT");
};

// A set result without the reader it names: "Set Ok (COM12 \\.\COM12, S/N ...)" -> "Set Ok".
std::string verdict(const std::string& out)
{
    const size_t at = out.find(" (COM");
    return at == std::string::npos ? out : out.substr(0, at) + "\n";
}

TEST_F(WineTest, ScanFindsTheReaderOnCom12AtANonDefaultLineAndStoresItInTheRegistry)
{
    SimProcess sim = startReader(12, "9600,n,8,1");
    ASSERT_TRUE(sim.ready()) << sim.failure();
    const ProgramResult scan = ctl({"--trace", "--unlock", "scan"});
    const std::string transcript =
        std::regex_replace(scan.err, std::regex(R"(\[ *[0-9.]+ ms\])"), "[t]") + scan.out;
    std::cout << scan.err << scan.out;
    EXPECT_EQ(scan.exitCode, 0);
    // The whole sweep (--unlock): COM1 to COM11 map to nothing and are passed over at once; COM12
    // is asked twice at 4800,n,8,1 and at 4800,e,8,1, and answers at 9600,n,8,1.
    const std::string query = "[t] > 01 30 30 30 30 41 53 02 31 45 35 36 0D  |.0000AS.1E56.| COM12\n";
    EXPECT_EQ(transcript,
              query + query + query + query + query +
                  "[t] < 03 30 30 30 31 30 30 32 30 32 36 31 32 30 38 04 30 39 37 41 0D  |.00010020261208.097A.| COM12\n"
                  "[t] > 01 30 30 30 30 41 56 02 34 45 35 35 0D  |.0000AV.4E55.| COM12\n"
                  "[t] < 03 30 30 30 31 30 30 30 31 2E 34 30 2D 30 31 04 43 32 34 32 0D  |.00010001.40-01.C242.| COM12\n"
                  "Get Reader Info Ok. (COM : #12)\nS/N : 20261208\nID: 0001\nVER : 01.40-01\n"
                  "COM12 (\\\\.\\COM12) 9600,n,8,1\n");

    const ProgramResult values = wine({"reg", "query", ownKey});
    std::cout << values.out;
    EXPECT_EQ(values.out, "\nHKEY_CURRENT_USER\\Software\\KESTO\\TEMPIKConfig\n"
                          "    ScanBaudRate    REG_SZ    9600,n,8,1\n"
                          "    ScanBaudRateNo    REG_DWORD    0x2\n"
                          "    ScanCommNo    REG_DWORD    0xc\n\n");
}

TEST_F(WineTest, EveryCommandChangesTheReaderAndTheNextCommandFollowsTheLineSpeed)
{
    SimProcess sim = startReader(12, "19200,e,8,1");
    ASSERT_TRUE(sim.ready()) << sim.failure();
    ASSERT_EQ(ctl({"scan"}).exitCode, 0);
    const std::string icon = root + "/corner.ico";
    IconBytes().on(0, 0).write(icon);
    struct Row {
        std::vector<std::string> args;
        std::string field;
        std::string expected;
        std::string message = "Set Ok";
    };
    const std::vector<Row> rows = {
        {{"set-baud", "38400,e,8,1"}, "line", "38400,e,8,1"},
        {{"set-id", "42"}, "identifier", "0042"},   // at the new speed, without a scan
        {{"set-time", "--24h"}, "hourMode", "1"},
        {{"set-language", "simplified"}, "language", "2"},
        {{"set-password", "1234"}, "password", "1234"},
        {{"set-volume", "3"}, "volume", "3"},
        {{"set-card-type", "64"}, "cardType", "1"},
        {{"set-backlight", "7"}, "backlight", "7"},
        {{"set-work-time", "250"}, "workTime", "250"},
        {{"set-idle", "time"}, "idleScreen", "1"},
        {{"set-title-mode", "none"}, "titleMode", "0"},
        // UTF-8 arguments, whatever the ANSI code page of the machine
        {{"set-title", "Caf\xc3\xa9"}, "titleText", "Caf\xe9            "},
        {{"--language", "gb", "set-install", "\xe4\xb8\xad\xe6\x96\x87"}, "installMessage", "\xd6\xd0\xce\xc4            ",
         "\xe8\xae\xbe\xe5\xae\x9a\xe5\xae\x8c\xe6\x88\x90"},   // 设定完成
        {{"set-message", "Welcome"}, "titleMessage", "Welcome" + std::string(121, ' ')},
        {{"show-message", "Hi"}, "showMessage", "Hi" + std::string(62, ' ')},
        {{"clear-title"}, "titleText", std::string(16, ' ')},
        {{"clear-install"}, "installMessage", std::string(16, ' ')},
        {{"clear-message"}, "titleMessage", std::string(128, ' ')},
        {{"factory-default"}, "line", "19200,e,8,1"},
        {{"set-icon", "Z:" + icon}, "titleMode", "2"},
        {{"set-volume", "4"}, "volume", "4"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.args.front());
        const ProgramResult result = ctl(row.args);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(verdict(result.out), row.message + "\n");
        EXPECT_EQ(sim.stateField(row.field).value_or("<missing>"), row.expected);
    }
    EXPECT_EQ(sim.statePicture().front(), "#" + std::string(127, '.'));
}

TEST_F(WineTest, SettingsAnEarlierInstallationLeftInTheLocalMachineKeyAreTakenOver)
{
    SimProcess sim = startReader(12, "9600,e,8,1");
    ASSERT_TRUE(sim.ready()) << sim.failure();
    wine({"reg", "add", machineKey, "/v", "ScanCommNo", "/t", "REG_DWORD", "/d", "12", "/f"});
    wine({"reg", "add", machineKey, "/v", "ScanBaudRateNo", "/t", "REG_DWORD", "/d", "3", "/f"});
    wine({"reg", "add", machineKey, "/v", "ScanBaudRate", "/t", "REG_SZ", "/d", "9600,e,8,1", "/f"});
    EXPECT_EQ(ctl({"settings"}).out, "ScanCommNo=12\nScanBaudRateNo=3\nScanBaudRate=9600,e,8,1\nLanguageFlag=English\n");
    const ProgramResult set = ctl({"set-volume", "6"});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(sim.stateField("volume").value_or(""), "6");
}

// Wine opens a port mapped to nothing, but it has no line state: no serial device.
TEST_F(WineTest, APortMappedToNothingOrAboveCom32IsNoPort)
{
    for (const auto& [port, why] : {std::pair{"13", "not a serial device"}, std::pair{"33", "no such port"}}) {
        const ProgramResult result = ctl({"--port", port, "set-volume", "1"});
        EXPECT_EQ(result.exitCode, 3) << port;
        EXPECT_EQ(verdict(result.out), "Set Error\n");
        EXPECT_EQ(result.err, std::string("tempikctl: COM") + port + ": " + why + "\n");
    }
}

// A status query frame is 13 bytes; a picture block 78.
TEST_F(WineTest, ReaderVanishingInTheMiddleOfAnOperationIsSetErrorWithoutAHang)
{
    const std::string icon = root + "/dot.ico";
    IconBytes().on(3, 3).write(icon);
    const std::string link = root + "/KESTO/ports/COM14";
    struct Row {
        std::vector<std::string> args;
        size_t vanishAfterBytes;
    };
    for (const Row& row : {Row{{"--port", "14", "set-volume", "3"}, 13 + 5},
                           Row{{"--port", "14", "set-icon", "Z:" + icon}, 13 + 2 * 78 + 30}}) {
        SCOPED_TRACE(row.args[2]);
        PseudoTerminal pty;
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(pty.slavePath().c_str(), link.c_str()), 0);
        FarEnd reader(pty, FarEnd::answering, row.vanishAfterBytes);
        const ProgramResult result = ctl(row.args);
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(verdict(result.out), "Set Error\n");
        EXPECT_TRUE(reader.vanished());
    }
}

} // namespace

namespace {

constexpr const char* shellFolders = "HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// A user folder beyond ASCII (C:\Users\张伟) holds the configuration folder, and the program runs
// where %APPDATA% is not set (a service, a scheduled task).
class WineUserFolderTest : public WineTest {
protected:
    void SetUp() override
    {
        WineTest::SetUp();
        const std::string reg = root + "/folder.reg";
        std::ofstream(reg, std::ios::binary) << utf16("Windows Registry Editor Version 5.00\r\n\r\n[" + std::string(shellFolders).replace(0, 4, "HKEY_CURRENT_USER") +
                              "]\r\n\"AppData\"=\"Z:" + std::regex_replace(appData, std::regex("/"), "\\\\") + "\"\r\n");
        ASSERT_EQ(wine({"regedit", "/S", "Z:" + reg}).exitCode, 0);
    }
    void TearDown() override
    {
        wine({"reg", "add", shellFolders, "/v", "AppData", "/t", "REG_EXPAND_SZ", "/d", "%USERPROFILE%\\AppData\\Roaming", "/f"});
    }

    // tempikctl.exe with no APPDATA in its environment.
    ProgramResult ctlWithoutAppData(const std::string& args)
    {
        const std::string exe = "Z:" + std::regex_replace(environment("TEMPIK_WINDOWS_BUILD"), std::regex("/"), "\\\\");
        return wine({"cmd", "/c", "set APPDATA=&& " + exe + "\\app\\tempikctl.exe " + args});
    }

    const std::string appData = root + "/\xe5\xbc\xa0\xe4\xbc\x9f";   // 张伟
    const std::string config = appData + "/KESTO";
};

TEST_F(WineUserFolderTest, FilesAndFoldersBeyondAsciiAreFoundAndABadUrlFileIsReported)
{
    SimProcess sim = startReader(12, "19200,e,8,1");
    ASSERT_TRUE(sim.ready()) << sim.failure();
    ::mkdir(appData.c_str(), 0755);
    ::mkdir(config.c_str(), 0755);
    ::mkdir((config + "/ports").c_str(), 0755);
    std::ofstream(config + "/ports/COM5-url.txt") << "\xef\xbb\xbfserial port five\r\n";

    const ProgramResult scan = ctlWithoutAppData("--port 12 scan");
    EXPECT_EQ(scan.exitCode, 0) << scan.err;
    EXPECT_EQ(withoutCarriageReturns(scan.err), "tempikctl: COM5-url.txt: no rfc2217:// or socket:// URL on its first line\n");
    std::ifstream lastScan(config + "/tempikctl-last-scan");
    std::string word;
    EXPECT_TRUE(lastScan >> word);
    EXPECT_EQ(word, "found");

    const std::string icon = root + "/\xe5\x9b\xbe\xe6\xa0\x87.ico";   // 图标.ico
    IconBytes().on(1, 1).write(icon);
    const ProgramResult set = ctl({"set-icon", "Z:" + icon});
    EXPECT_EQ(set.exitCode, 0) << set.err;
    EXPECT_EQ(verdict(set.out), "Set Ok\n");
    EXPECT_EQ(sim.stateField("titleMode").value_or(""), "2");
}

// The listing asks the system what the ports are and opens none: a far end on each mapped port
// hears nothing.
TEST_F(WineUserFolderTest, PortsListsTheMappedAndNetworkPortsAndOpensNone)
{
    ::mkdir(appData.c_str(), 0755);
    ::mkdir(config.c_str(), 0755);
    ::mkdir((config + "/ports").c_str(), 0755);
    std::ofstream(config + "/ports/COM3-url.txt", std::ios::binary) << utf16(" RFC2217://h:4001\r\n");
    std::ofstream(config + "/ports/COM5-url.txt") << "COM5\r\n";
    PseudoTerminal com12, com14;
    std::vector<std::unique_ptr<FarEnd>> readers;
    for (const auto& [pty, port] : {std::pair{&com12, "COM12"}, std::pair{&com14, "COM14"}}) {
        const std::string link = root + "/KESTO/ports/" + port;
        ::unlink(link.c_str());
        ASSERT_EQ(::symlink(pty->slavePath().c_str(), link.c_str()), 0);
        readers.push_back(std::make_unique<FarEnd>(*pty, FarEnd::answering));
    }
    const ProgramResult list = ctlWithoutAppData("ports");
    EXPECT_EQ(list.exitCode, 0) << list.err;
    EXPECT_EQ(list.out, "COM3  network port  rfc2217://h:4001\n"
                        "COM5  COM5-url.txt: no rfc2217:// or socket:// URL on its first line\n"
                        "COM12  serial port  \\Device\\Serial11\n"
                        "COM14  serial port  \\Device\\Serial13\n");
    for (const auto& reader : readers)
        EXPECT_EQ(reader->bytesReceived(), 0u);
}

TEST_F(WineTest, HelpDescribesWindowsPortsAndFolders)
{
    const std::string help = ctl({"--help"}).out;
    for (const char* windows : {"%APPDATA%\\KESTO", "\\\\.\\COM<n>", "ports\\COM<n>-url.txt"})
        EXPECT_NE(help.find(windows), std::string::npos) << windows;
    for (const char* linux : {"XDG_CONFIG_HOME", "ttyS"})
        EXPECT_EQ(help.find(linux), std::string::npos) << linux;
}

// A port that turned out not to hold the reader is left with the line it had; the reader's port
// gets its definition with no flow control, whatever the stored text asks for (",p" is the
// system parser's hardware handshake).
TEST_F(WineTest, LineIsPutBackOnAPortWithoutTheReaderAndFlowControlStaysOff)
{
    SimProcess sim = startReader(12, "9600,e,8,1");
    ASSERT_TRUE(sim.ready()) << sim.failure();
    PseudoTerminal com14;
    const std::string link = root + "/KESTO/ports/COM14";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(com14.slavePath().c_str(), link.c_str()), 0);
    struct termios before = lineOf(com14.slavePath());
    cfsetspeed(&before, B4800);
    before.c_cflag = (before.c_cflag & ~(PARENB | CSIZE)) | CS8 | CSTOPB;
    {
        const int fd = ::open(com14.slavePath().c_str(), O_RDWR | O_NOCTTY);
        ASSERT_EQ(tcsetattr(fd, TCSANOW, &before), 0);
        ::close(fd);
    }
    wine({"reg", "add", ownKey, "/v", "ScanCommNo", "/t", "REG_DWORD", "/d", "14", "/f"});
    wine({"reg", "add", ownKey, "/v", "ScanBaudRate", "/t", "REG_SZ", "/d", "9600,e,8,1", "/f"});
    wine({"reg", "add", ownKey, "/v", "ScanBaudRateNo", "/t", "REG_DWORD", "/d", "3", "/f"});
    const ProgramResult scan = ctl({"--trace", "scan"});
    EXPECT_EQ(scan.exitCode, 0) << scan.err << scan.out;
    const struct termios after = lineOf(com14.slavePath());
    EXPECT_EQ(cfgetospeed(&after), B4800);
    EXPECT_EQ(after.c_cflag & (PARENB | CSIZE | CSTOPB | CRTSCTS), before.c_cflag & (PARENB | CSIZE | CSTOPB | CRTSCTS));

    wine({"reg", "add", ownKey, "/v", "ScanBaudRate", "/t", "REG_SZ", "/d", "baud=9600 parity=e data=8 stop=1 octs=on", "/f"});
    const ProgramResult set = ctl({"--port", "12", "set-volume", "2"});
    EXPECT_FALSE(set.timedOut);
    EXPECT_EQ(lineOf(sim.slavePath()).c_cflag & CRTSCTS, 0u);
}

// Ctrl-C (Wine turns SIGINT into the console's Ctrl-C) in the middle of a scan: the operation
// unwinds, and the program ends with the status of an interrupted console program,
// STATUS_CONTROL_C_EXIT (0xC000013A), of which the system keeps the low byte.
TEST_F(WineTest, CtrlCEndsWithTheStatusOfAnInterruptedConsoleProgram)
{
    PseudoTerminal com14;
    const std::string link = root + "/KESTO/ports/COM14";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(com14.slavePath().c_str(), link.c_str()), 0);
    FarEnd silent(com14, [](const std::string&, int) { return FarEnd::Answer{}; });
    std::thread interrupter;
    const ProgramResult scan = runProgram(
        "/usr/bin/wine", {environment("TEMPIK_WINDOWS_BUILD") + "/app/tempikctl.exe", "--port", "14", "--unlock", "scan"},
        std::chrono::seconds(60), false, [&](pid_t pid) {
            interrupter = std::thread([&silent, pid] {
                while (silent.bytesReceived() == 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                ::kill(pid, SIGINT);
            });
        });
    interrupter.join();
    EXPECT_FALSE(scan.timedOut);
    EXPECT_EQ(scan.exitCode, 0x3A) << scan.err;
}

// On a console (Wine makes one of a terminal) a Chinese message arrives whole, not as its UTF-8
// bytes read in the console's code page; in a pipe it stays UTF-8 (the other tests).
TEST_F(WineTest, ChineseMessagesOnAConsole)
{
    const ProgramResult onTerminal = runProgram(
        "/usr/bin/script", {"-qc", "wine " + environment("TEMPIK_WINDOWS_BUILD") + "/app/tempikctl.exe --language gb --port 13 set-volume 1",
                            "/dev/null"},
        std::chrono::seconds(60));
    EXPECT_NE(onTerminal.out.find("\xe8\xae\xbe\xe5\xae\x9a\xe9\x94\x99\xe8\xaf\xaf (COM13"), std::string::npos)   // 设定错误
        << onTerminal.out;
}


// The readers --all scan remembers are kept in a file of the configuration folder on Windows too,
// and a set command reaches each at its own line.
TEST_F(WineTest, AllRemembersBothReadersAndSetsEachAtItsOwnLine)
{
    SimProcess twelfth = startReader(12, "9600,n,8,1");
    SimProcess fourteenth = startReader(14, "57600,n,8,1");
    ASSERT_TRUE(twelfth.ready() && fourteenth.ready()) << twelfth.failure() << fourteenth.failure();
    ASSERT_EQ(ctl({"--all", "--unlock", "scan"}).exitCode, 0);
    const ProgramResult readers = ctl({"readers"});
    EXPECT_TRUE(std::regex_match(readers.out, std::regex("COM12 \\\\\\\\.\\\\COM12 9600,n,8,1 .*\n"
                                                         "COM14 \\\\\\\\.\\\\COM14 57600,n,8,1 .*\n")))
        << readers.out << readers.err;
    const ProgramResult set = ctl({"--all", "set-volume", "4"});
    EXPECT_EQ(set.exitCode, 0) << set.out << set.err;
    EXPECT_EQ(twelfth.stateField("volume").value_or("") + fourteenth.stateField("volume").value_or(""), "44");
}

} // namespace
