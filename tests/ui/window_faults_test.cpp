// The real window on the real serial device, clock and port map when things go wrong under it:
// the device vanishes in a set operation, in a scan and in an icon upload, the port is held by
// another program, and the settings file is garbage. Each time the operation ends with its
// failure outcome, the window comes back enabled with the normal cursor, and nothing hangs.
// How long each takes is a figure of bench/fault_bench.
#include "link/clock.h"
#include "link/port_map_linux.h"
#include "link/serial_posix.h"
#include "reader/set_operation.h"
#include "tests/support/far_end.h"
#include "tests/support/fake_device.h"
#include "tests/support/named_row.h"
#include "tests/support/sim_process.h"
#include "tests/ui/window_rig.h"
#include "settings/settings_file_store.h"
#include "ui/qt/frm_module.h"
#include "ui/qt/status_lamp.h"
#include "ui/form/window_texts.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QTest>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tempik;
using namespace tempik::testing;

namespace {

// A hang would otherwise sit until the suite's time-out; this ends the run with its name.
class Watchdog {
public:
    explicit Watchdog(const char* what, std::chrono::seconds limit = std::chrono::seconds(15))
        : thread_([this, what, limit] {
              std::unique_lock<std::mutex> lock(mutex_);
              if (!done_.wait_for(lock, limit, [this] { return finished_; })) {
                  std::fprintf(stderr, "hung: %s\n", what);
                  std::fflush(stderr);
                  _exit(124);
              }
          })
    {
    }
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            finished_ = true;
        }
        done_.notify_one();
        thread_.join();
    }

private:
    std::mutex mutex_;
    std::condition_variable done_;
    bool finished_ = false;
    std::thread thread_;
};

// The window on the production device, clock and port map, with a configuration folder of its
// own whose ports/ folder the test fills.
struct FaultWindow {
    explicit FaultWindow(const std::string& storedSettings = {})
    {
        ::mkdir(folder.c_str(), 0755);
        ::mkdir((folder + "/ports").c_str(), 0755);
        if (!storedSettings.empty())
            std::ofstream(folder + "/" + SettingsFileStore::fileName)
                << "REGEDIT4\n\n[" << SettingsFileStore::keyPath << "]\n" << storedSettings;
        build();
    }

    // The simulated reader on port, linked in this window's configuration folder.
    SimSetup readerOn(int port) const { return SimSetup{{}, port, true, root.path()}; }

    void build()
    {
        window.reset();
        window = std::make_unique<TfrmModule>(WindowSeams{device, clock, ports, store, tone, iconFiles});
        window->show();
        // Every case sweeps one line definition per port: the one stored.
        qobject_cast<QCheckBox*>(window->control("chkLock"))->setChecked(true);
    }

    // Links the pseudo-terminal as COM1 and lets the window find a reader that answers
    // everything there, which is gone again when this returns.
    bool findsReaderOn(PseudoTerminal& pty)
    {
        pinPort(1, pty.slavePath());
        FarEnd reader(pty, FarEnd::answering);
        click("btnScan");
        return message() == "Get Reader Info Ok. (COM : #1)";
    }

    void pinPort(int port, const std::string& device) const
    {
        const std::string link = folder + "/ports/COM" + std::to_string(port);
        ::unlink(link.c_str());
        if (::symlink(device.c_str(), link.c_str()) != 0)
            throw std::runtime_error("cannot link " + link);
    }

    void click(const char* button)
    {
        QTest::mouseClick(qobject_cast<QAbstractButton*>(window->control(button)), Qt::LeftButton);
    }

    std::string message() const { return qobject_cast<QLabel*>(window->control("pnMsg"))->text().toStdString(); }

    Settings storedSettings() const
    {
        Settings settings;
        SettingsFileStore(folder).loadSettings(settings);
        return settings;
    }

    // What every ending must leave: a usable window, no wait cursor, no open port, no blinking.
    void expectRecovered() const
    {
        EXPECT_TRUE(window->isEnabled());
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(window->link().isOpen());
        EXPECT_FALSE(window->busyTimer().isActive());
    }

    void expectFailureShown(const std::string& text) const
    {
        EXPECT_EQ(message(), text);
        EXPECT_EQ(window->lamp().colour(), LampColour::red);
        ASSERT_FALSE(tone.tones.empty());
        EXPECT_EQ(tone.tones.back(), std::make_pair(lowToneHz, beepMs));
        expectRecovered();
    }

    TempFolder root;
    const std::string folder = root.path() + "/KESTO";
    PosixSerialDevice device;
    SystemClock clock;
    LinuxPortMap ports{folder};
    SettingsFileStore store{folder};
    RecordingTone tone;
    ScriptedIconFiles iconFiles;
    std::unique_ptr<TfrmModule> window;
};

// A status query frame: SOH, "0000AS", STX, four check characters, CR.
constexpr size_t statusQueryBytes = 13;
// A picture block: SOH, "0000BB", the block number, 64 hexadecimal characters, STX, check, CR.
constexpr size_t pictureBlockBytes = 78;

} // namespace

TEST(WindowDeviceVanishes, InASetOperationItEndsInSetError)
{
    struct Row {
        const char* name;
        FarEnd::Script script;
        size_t vanishAfterBytes;
        std::vector<std::string> payloadsSeen;
    };
    const std::vector<Row> rows = {
        // The first byte of the command comes only after the status reply was taken.
        {"after the status reply, at the first byte of the command", FarEnd::answering, statusQueryBytes + 1, {"0000AS"}},
        {"when the command has arrived, before its reply",
         [](const std::string& payload, int) {
             return payload == "0000AS" ? FarEnd::answering(payload, 0) : FarEnd::Answer{{}, true};
         },
         0, {"0000AS", "0000BE3"}},
        {"in the middle of the command frame", FarEnd::answering, statusQueryBytes + 5, {"0000AS"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Watchdog watchdog(row.name);
        PseudoTerminal pty;
        FaultWindow w;
        ASSERT_TRUE(w.findsReaderOn(pty));
        qobject_cast<QComboBox*>(w.window->control("cmbSound"))->setCurrentIndex(3);
        FarEnd vanishing(pty, row.script, row.vanishAfterBytes);
        w.click("btnVolume");

        w.expectFailureShown("Set Error");
        EXPECT_TRUE(vanishing.vanished());
        EXPECT_EQ(vanishing.payloads(), row.payloadsSeen);

        // The port has gone with its device: the next scan says so.
        w.click("btnScan");
        w.expectFailureShown("Reader Not Find");
    }
}

TEST(WindowDeviceVanishes, InAScanItEndsInItsFailureOutcome)
{
    struct Row {
        const char* name;
        std::string storedSettings;
        FarEnd::Script script;
        size_t vanishAfterBytes;
        bool readerOnComTwo;
        std::string message;
        int storedPort;   // ScanCommNo in the file afterwards
    };
    auto silentThenGone = [](const std::string&, int) { return FarEnd::Answer{{}, true}; };
    const std::vector<Row> rows = {
        {"after the first query of the sweep", "", silentThenGone, 0, false, "Reader Not Find", 0},
        {"after the status reply, at the first byte of the version query", "", FarEnd::answering, statusQueryBytes + 1, false,
         "Get Reader Info Error. (COM : #1)", 1},
        {"at the remembered port; the sweep goes on to the next port", "\"ScanCommNo\"=dword:00000001\n",
         silentThenGone, 0, true, "Get Reader Info Ok. (COM : #2)", 2},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Watchdog watchdog(row.name);
        PseudoTerminal pty;
        FaultWindow w(row.storedSettings);
        w.pinPort(1, pty.slavePath());
        std::optional<SimProcess> sim;
        if (row.readerOnComTwo) {
            sim.emplace(w.readerOn(2));
            ASSERT_TRUE(sim->ready()) << sim->failure();
        }
        FarEnd vanishing(pty, row.script, row.vanishAfterBytes);
        w.click("btnScan");

        if (row.readerOnComTwo) {
            EXPECT_EQ(w.message(), row.message);
            EXPECT_EQ(w.window->lamp().colour(), LampColour::yellow);
            w.expectRecovered();
        } else {
            w.expectFailureShown(row.message);
        }
        EXPECT_TRUE(vanishing.vanished());
        EXPECT_EQ(vanishing.payloads(), std::vector<std::string>{"0000AS"});
        EXPECT_EQ(w.storedSettings().link.ScanCommNo, row.storedPort);
    }
}

TEST(WindowDeviceVanishes, InAnIconUploadItEndsInSetError)
{
    struct Row {
        const char* name;
        FarEnd::Script script;
        size_t vanishAfterBytes;
    };
    const std::vector<Row> rows = {
        {"after the status reply, at the first byte of the first block", FarEnd::answering, statusQueryBytes + 1},
        {"in the middle of the third block", FarEnd::answering, statusQueryBytes + 2 * pictureBlockBytes + 30},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Watchdog watchdog(row.name);
        PseudoTerminal pty;
        FaultWindow w;
        ASSERT_TRUE(w.findsReaderOn(pty));
        const std::string icon = w.root.path() + "/dot.ico";
        std::ofstream(icon, std::ios::binary) << std::string(70, '\0') << std::string(256, '\x7F');
        w.iconFiles.answer = icon;
        FarEnd vanishing(pty, row.script, row.vanishAfterBytes);
        w.click("btnTitleIcon");

        w.expectFailureShown("Set Error");
        EXPECT_TRUE(vanishing.vanished());
    }
}

TEST(WindowPortHeldByAnotherProgram, TheScanSkipsItAndASetOperationSaysSetErrorWithoutAnExchange)
{
    Watchdog watchdog("port held by another program");
    PseudoTerminal pty;
    FaultWindow w;
    w.pinPort(1, pty.slavePath());
    SimProcess sim(w.readerOn(2));
    ASSERT_TRUE(sim.ready()) << sim.failure();

    FarEnd reader(pty, FarEnd::answering);
    w.click("btnScan");
    ASSERT_EQ(w.message(), "Get Reader Info Ok. (COM : #1)");
    const size_t bytesBefore = reader.bytesReceived();

    PortHolder holder(pty.slavePath());
    ASSERT_TRUE(holder.held());
    w.click("btnVolume");
    w.expectFailureShown("Set Error");
    EXPECT_EQ(w.window->link().lastFailure(), DeviceFailure::busy);
    EXPECT_EQ(reader.bytesReceived(), bytesBefore);

    // The remembered port and the sweep both pass the held port by and find the other reader.
    w.click("btnScan");
    EXPECT_EQ(w.message(), "Get Reader Info Ok. (COM : #2)");
    w.expectRecovered();
    EXPECT_EQ(w.storedSettings().link.ScanCommNo, 2);
    EXPECT_EQ(reader.bytesReceived(), bytesBefore) << "nothing may reach a port another program holds";

    // Once the other program lets go, the port works again.
    holder.release();
    w.pinPort(2, "/nonexistent");
    w.click("btnScan");
    EXPECT_EQ(w.message(), "Get Reader Info Ok. (COM : #1)");
}

TEST(WindowSettingsGarbage, AWindowAfterTheFileWasOverwrittenStillFindsTheReaderAndMendsTheFile)
{
    struct Row {
        const char* name;
        std::function<std::string()> garbage;
    };
    const std::vector<Row> rows = {
        {"random bytes with NULs", [] { return randomBytes(64 * 1024, 7); }},
        {"one huge line", [] { return "\"ScanCommNo\"=dword:" + std::string(900 * 1024, '7'); }},
        {"a program", [] { return fileText(simBinaryPath()).substr(0, 512 * 1024); }},
        {"a key with values of the wrong types",
         [] {
             return std::string("REGEDIT4\n\n[") + SettingsFileStore::keyPath +
                    "]\n\"ScanCommNo\"=\"three\"\n\"ScanBaudRateNo\"=dword:ffffffff\n\"LanguageFlag\"=hex:00,01\n";
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Watchdog watchdog(row.name);
        FaultWindow w;
        SimProcess sim(w.readerOn(1));
        ASSERT_TRUE(sim.ready()) << sim.failure();
        w.click("btnScan");
        ASSERT_EQ(w.message(), "Get Reader Info Ok. (COM : #1)");
        ASSERT_EQ(w.storedSettings().link.ScanCommNo, 1);

        w.window.reset();
        const std::string garbage = row.garbage();
        writeFile(w.folder + "/" + SettingsFileStore::fileName, garbage);
        w.build();
        EXPECT_EQ(w.window->settings().link.ScanCommNo, 0);
        EXPECT_EQ(qobject_cast<QComboBox*>(w.window->control("cmbBaudRate"))->currentIndex(), 5);

        MessageBoxCatcher boxes;
        w.click("btnScan");
        EXPECT_EQ(w.message(), "Get Reader Info Ok. (COM : #1)");
        w.expectRecovered();
        EXPECT_EQ(boxes.texts, std::vector<std::string>{}) << "the mended file was saved";
        const Settings after = w.storedSettings();
        EXPECT_EQ(after.link.ScanCommNo, 1);
        EXPECT_EQ(after.link.ScanBaudRate, "19200,e,8,1");
        EXPECT_EQ(after.link.ScanBaudRateNo, 5);

        // And a third window starts from the mended file.
        w.build();
        EXPECT_EQ(w.window->settings().link.ScanCommNo, 1);
    }
}

// A folder where the store file should be stops a save as surely for root as for anyone; a
// read-only folder binds only an unprivileged user (tempikctl's test covers it as nobody).
struct SpoiltStore : NamedRow {
    std::function<void(const std::string& folder)> spoil;
    bool needsUnprivileged;
};

class WindowSettingsCannotBeSaved : public ::testing::TestWithParam<SpoiltStore> {};

TEST_P(WindowSettingsCannotBeSaved, TheOperationsWorkAndTheOperatorIsToldEachTime)
{
    const SpoiltStore& row = GetParam();
    if (row.needsUnprivileged && geteuid() == 0)
        GTEST_SKIP() << "root writes regardless";
    Watchdog watchdog(row.name);
    FaultWindow w;
    SimProcess sim(w.readerOn(1));
    ASSERT_TRUE(sim.ready()) << sim.failure();
    row.spoil(w.folder);

    MessageBoxCatcher boxes;
    w.click("btnScan");
    EXPECT_EQ(w.message(), "Get Reader Info Ok. (COM : #1)");
    EXPECT_EQ(w.window->lamp().colour(), LampColour::yellow);
    ASSERT_EQ(boxes.texts.size(), 1u);
    EXPECT_EQ(boxes.captions[0], applicationTitle);
    EXPECT_NE(boxes.texts[0].find("could not be saved in " + w.folder + "/" + SettingsFileStore::fileName),
              std::string::npos)
        << boxes.texts[0];
    w.expectRecovered();

    // The language switch saves too, and the warning speaks the new language.
    w.click("btnGB");
    ASSERT_EQ(boxes.texts.size(), 2u);
    EXPECT_NE(boxes.texts[1].find("\u65e0\u6cd5\u5c06\u8bbe\u7f6e\u4fdd\u5b58\u5230 " + w.folder), std::string::npos)
        << boxes.texts[1];
    // An operation that saves nothing says nothing more.
    w.click("btnVolume");
    EXPECT_EQ(w.message(), "设定完成");
    EXPECT_EQ(boxes.texts.size(), 2u);
    w.expectRecovered();
    ::chmod(w.folder.c_str(), 0755);
}

INSTANTIATE_TEST_SUITE_P(
    Stores, WindowSettingsCannotBeSaved,
    ::testing::Values(
        SpoiltStore{"StoreFileIsAFolder",
                    [](const std::string& folder) { ::mkdir((folder + "/" + SettingsFileStore::fileName).c_str(), 0755); },
                    false},
        SpoiltStore{"ReadOnlyFolder", [](const std::string& folder) { ::chmod(folder.c_str(), 0555); }, true}),
    rowName);
