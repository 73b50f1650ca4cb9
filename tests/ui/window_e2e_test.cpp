// The real window on the real serial device, clock and port map, against the simulated reader on
// a pseudo-terminal: a scan, then every button once, each read back from the reader's state.
#include "link/clock.h"
#include "link/port_map_linux.h"
#include "link/serial_posix.h"
#include "settings/settings_file_store.h"
#include "tests/support/sim_process.h"
#include "tests/ui/window_rig.h"
#include "ui/qt/frm_module.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include <fstream>
#include <functional>

#include <sys/stat.h>

using namespace tempik;
using namespace tempik::testing;

namespace {

SimSetup onComOne()
{
    SimSetup setup;
    setup.args = {"--id", "0042"};
    setup.port = 1;
    return setup;
}

struct LiveWindow {
    LiveWindow()
        : sim(onComOne()), ports(sim.configFolder()), store(sim.configFolder()),
          window(WindowSeams{device, clock, ports, store, tone, iconFiles})
    {
    }

    template <class W>
    W* get(const char* name) { return qobject_cast<W*>(window.control(name)); }
    QString text(const char* name) { return qobject_cast<QLabel*>(window.control(name))->text(); }
    void click(const char* name) { QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton); }

    SimProcess sim;
    PosixSerialDevice device;
    SystemClock clock;
    LinuxPortMap ports;
    SettingsFileStore store;
    RecordingTone tone;
    ScriptedIconFiles iconFiles;
    TfrmModule window;
};

} // namespace

TEST(WindowEndToEnd, ScanThenEveryButtonChangesTheReader)
{
    LiveWindow live;
    ASSERT_TRUE(live.sim.ready()) << live.sim.failure();
    live.window.show();

    live.click("btnScan");
    ASSERT_EQ(live.text("pnMsg").toStdString(), "Get Reader Info Ok. (COM : #1)");
    EXPECT_EQ(live.text("pnSerial").toStdString(), "S/N : 20261208");
    EXPECT_EQ(live.text("pnVersion").toStdString(), "VER : 01.40-01");
    EXPECT_EQ(live.text("pnID").toStdString(), "0042");

    // The icon: only the pixel (5, 3) black.
    const std::string icon = live.sim.configRoot() + "/dot.ico";
    {
        std::string rows(256, '\xFF');
        rows[(15 - 3) * 16] = static_cast<char>(0xFF & ~(0x80 >> 5));
        std::ofstream(icon, std::ios::binary) << std::string(70, '\0') << rows;
    }

    struct Step {
        const char* button;
        std::function<void()> set;
        const char* field;
        std::string expected;
    };
    auto pick = [&](const char* list, int index) { return [&live, list, index] { live.get<QComboBox>(list)->setCurrentIndex(index); }; };
    auto type = [&](const char* box, const char* value) { return [&live, box, value] { live.get<QLineEdit>(box)->setText(value); }; };
    const std::vector<Step> steps = {
        {"btnID", [&] { live.get<QScrollBar>("sbID")->setValue(77); }, "identifier", "0077"},
        {"btnBaudRate", pick("cmbBaudRate", 7), "line", "38400,e,8,1"},
        // From here on the window talks at the new speed without a scan.
        {"btnDateTime", pick("cmbHour", 1), "hourMode", "1"},
        {"btnLanguage", pick("cmbLanguage", 2), "language", "2"},
        {"btnPassword", type("edPassword", "4321"), "password", "4321"},
        {"btnVolume", pick("cmbSound", 3), "volume", "3"},
        {"btnCardType", pick("cmbCardType", 1), "cardType", "1"},
        {"btnBackLight", type("edBackLight", "200"), "backlight", "200"},
        {"btnWorkMode", type("edWork", "5"), "workTime", "5"},
        {"btnIdle", pick("cmbIdle", 1), "idleScreen", "1"},
        {"btnSetTitleMode", pick("cmbTitle", 0), "titleMode", "0"},
        {"btnTitle", type("edTitle", "Lobby"), "titleText", "Lobby" + std::string(11, ' ')},
        {"btnTitleClear", [] {}, "titleText", std::string(16, ' ')},
        {"btnInstall", type("edInstall", "Door 2"), "installMessage", "Door 2" + std::string(10, ' ')},
        {"btnClrInstall", [] {}, "installMessage", std::string(16, ' ')},
        {"btnTitleMessage", type("edMessage", "Hi all"), "titleMessage", "Hi all" + std::string(122, ' ')},
        {"btnClrTitle", [] {}, "titleMessage", std::string(128, ' ')},
        {"btnShowMessage", type("edShow", "Now"), "showMessage", "Now" + std::string(61, ' ')},
        {"btnTitleIcon", [&] { live.iconFiles.answer = icon; }, "titleMode", "2"},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.button);
        step.set();
        live.tone.tones.clear();
        live.click(step.button);
        EXPECT_EQ(live.text("pnMsg").toStdString(), "Set Ok");
        EXPECT_EQ(live.tone.tones, (std::vector<std::pair<int, int>>{{1000, 300}}));
        EXPECT_EQ(live.sim.stateField(step.field).value_or("<missing>"), step.expected);
        EXPECT_TRUE(live.window.isEnabled());
    }

    // The title text operation also switched the reader to "Text Title"; the install message
    // put the reader's serial number into its box, without the byte that ends it.
    EXPECT_EQ(live.get<QLineEdit>("edInstall")->text().toStdString(), "20261208");
    const std::vector<std::string> picture = live.sim.statePicture();
    ASSERT_EQ(picture.size(), 16u);
    for (int y = 0; y < 16; ++y)
        EXPECT_EQ(picture[static_cast<size_t>(y)], y == 3 ? "....." "#" + std::string(122, '.') : std::string(128, '.'));

    live.click("btnFactoryDefault");
    EXPECT_EQ(live.text("pnMsg").toStdString(), "Set Ok");
    EXPECT_EQ(live.sim.stateField("line").value_or(""), "19200,e,8,1");
    EXPECT_EQ(live.get<QComboBox>("cmbBaudRate")->currentIndex(), 5);
    EXPECT_EQ(live.text("pnID").toStdString(), "0001");

    // The link followed the reader back to 19200,e,8,1: the next operation needs no scan.
    live.click("btnVolume");
    EXPECT_EQ(live.text("pnMsg").toStdString(), "Set Ok");
}

// The program takes no options, and Qt's own are not passed on: "-platform" naming no platform
// would end it at once; the platform stays the one of the environment.
TEST(WindowProgram, HandsNoArgumentToQt)
{
    TempFolder config;
    ::mkdir((config.path() + "/KESTO").c_str(), 0700);
    ::mkdir((config.path() + "/KESTO/ports").c_str(), 0700);   // no port of the machine
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(config.path()));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(TEMPIK_BINARY_DIR "/app/tempik-config"),
                  {QStringLiteral("-platform"), QStringLiteral("no-such-platform"), QStringLiteral("-reverse")});
    ASSERT_TRUE(program.waitForStarted());
    EXPECT_FALSE(program.waitForFinished(3000)) << program.readAllStandardError().toStdString();
    program.kill();
    program.waitForFinished();
}
