// The buttons start the reader operations through the real widgets: the scan with its busy
// state, a set operation, the icon title through the file seam, and an error that escapes.
#include "tests/ui/window_rig.h"

#include "ui/qt/preview_image.h"
#include "ui/qt/status_lamp.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPushButton>
#include <QDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace tempik::testing {
namespace {

const std::vector<std::pair<int, int>> highTone{{1000, 300}};
const std::vector<std::pair<int, int>> lowTone{{300, 300}};

void expectIdleWindow(WindowRig& rig)
{
    EXPECT_TRUE(rig.window->isEnabled());
    EXPECT_FALSE(rig.window->busyTimer().isActive());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(rig.window->link().isOpen());
}

TEST(Scan, FindsTheReaderAndShowsItsData)
{
    WindowRig rig;
    rig.attachReader("0042", "A1B2C3D4", "01.40-01");
    rig.show();
    rig.scan();
    EXPECT_EQ(rig.textOf("pnSerial"), "S/N : A1B2C3D4");
    EXPECT_EQ(rig.textOf("pnVersion"), "VER : 01.40-01");
    EXPECT_EQ(rig.textOf("pnID"), "0042");
    EXPECT_EQ(rig.get<QScrollBar>("sbID")->value(), 42);
    EXPECT_EQ(rig.textOf("pnMsg"), "Get Reader Info Ok. (COM : #1)");
    EXPECT_EQ(rig.textOf("cmbBaudRate"), "19200,e,8,1");
    EXPECT_EQ(rig.window->lamp().colour(), LampColour::yellow);
    EXPECT_EQ(rig.tone.tones, highTone);
    EXPECT_TRUE(rig.window->session().readerFound);
    EXPECT_NE(rig.configFile().find("\"ScanCommNo\"=dword:00000001"), std::string::npos) << rig.configFile();
    expectIdleWindow(rig);
}

TEST(Scan, AgainstASilentPortTheWindowIgnoresEveryClickWhileTheLampBlinks)
{
    WindowRig rig;
    rig.show();
    TfrmModule& window = *rig.window;

    std::map<QString, int> clicks;
    const QList<QPushButton*> buttons = window.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 25);
    for (QPushButton* button : buttons)
        QObject::connect(button, &QPushButton::clicked, [&clicks, button] { ++clicks[button->objectName()]; });
    std::vector<LampColour> ticks;
    QObject::connect(&window.busyTimer(), &QTimer::timeout, [&] { ticks.push_back(window.lamp().colour()); });

    bool probed = false;
    bool enabledDuringScan = true;
    QStringList enabledButtons;
    bool waitCursorDuringScan = false;
    window.link().setFrameObserver([&](ReaderLink::Direction direction, const std::vector<uint8_t>&) {
        if (probed || direction != ReaderLink::Direction::sent)
            return;
        probed = true;
        enabledDuringScan = window.isEnabled();
        waitCursorDuringScan = QApplication::overrideCursor() && QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        for (QPushButton* button : buttons) {
            if (button->isEnabled())
                enabledButtons << button->objectName();
            QTest::mouseClick(button, Qt::LeftButton);
        }
        QTest::keyClick(&window, Qt::Key_Return);
        // The blink timer runs on real time: let two of its 200 ms ticks pass inside the scan.
        EXPECT_TRUE(QTest::qWaitFor([&] { return ticks.size() >= 2; }, 10000));
    });
    rig.scan();

    ASSERT_TRUE(probed);
    EXPECT_FALSE(enabledDuringScan);
    EXPECT_TRUE(waitCursorDuringScan);
    EXPECT_TRUE(enabledButtons.isEmpty()) << enabledButtons.join(' ').toStdString();
    EXPECT_EQ(clicks.size(), 1u) << "only the click that started the scan";
    EXPECT_EQ(clicks[QStringLiteral("btnScan")], 1);
    ASSERT_GE(ticks.size(), 2u);
    EXPECT_EQ(ticks[0], LampColour::red) << "the first tick after the window opens is red";
    EXPECT_EQ(ticks[1], LampColour::yellow);

    // One port, the stored definition (chkLock), two status queries, nothing else.
    EXPECT_EQ(rig.device.wire(), (std::vector<std::string>{"open COM1 19200,e,8,1", "send 0000AS", "send 0000AS", "close"}));
    EXPECT_EQ(rig.textOf("pnMsg"), "Reader Not Find");
    EXPECT_EQ(window.lamp().colour(), LampColour::red);
    EXPECT_EQ(rig.tone.tones, lowTone);
    EXPECT_FALSE(window.session().readerFound);
    EXPECT_TRUE(window.isVisible()) << "the exit click during the scan was ignored";
    EXPECT_EQ(window.settings().uiLanguage, english) << "the language clicks during the scan were ignored";
    expectIdleWindow(rig);

    // The blink phase carries over to the next busy period.
    const int phase = window.form().busyTag();
    EXPECT_EQ(phase, static_cast<int>(ticks.size() % 2));
}

TEST(SetOperation, WithoutAScanAsksForOneAndSendsNothing)
{
    WindowRig rig;
    rig.attachReader();
    rig.show();
    rig.window->form().setLamp(LampColour::yellow);
    rig.click("btnVolume");
    EXPECT_TRUE(rig.device.events.empty());
    EXPECT_EQ(rig.textOf("pnMsg"), "Start Scan Punch-card Reader!");
    EXPECT_EQ(rig.window->lamp().colour(), LampColour::red);
    EXPECT_EQ(rig.tone.tones, lowTone);
    expectIdleWindow(rig);
}

TEST(SetOperation, ReadsItsControlAtTheMomentOfSending)
{
    WindowRig rig;
    rig.attachReader();
    rig.show();
    rig.scan();
    rig.tone.tones.clear();
    rig.get<QComboBox>("cmbSound")->setCurrentIndex(3);
    rig.click("btnVolume");
    EXPECT_EQ(rig.device.requests().back(), "0000BE3");
    EXPECT_EQ(rig.textOf("pnMsg"), "Set Ok");
    EXPECT_EQ(rig.tone.tones, highTone);
    expectIdleWindow(rig);
}

// A click the window system queued while the operation ran (here during its closing beep) is
// dropped, not run once the window takes input again: a double click sends one command.
TEST(SetOperation, AClickGivenWhileBusyIsDroppedNotRunAfterwards)
{
    WindowRig rig;
    rig.attachReader();
    rig.show();
    rig.scan();
    auto* button = rig.get<QPushButton>("btnVolume");
    rig.tone.whilePlaying = [button] {
        const QPointF centre = QRectF(button->rect()).center();
        for (const QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease})
            QCoreApplication::postEvent(button, new QMouseEvent(type, centre, button->mapToGlobal(centre), Qt::LeftButton,
                                                                type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                                                                Qt::NoModifier));
    };
    rig.click("btnVolume");
    rig.tone.whilePlaying = nullptr;
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    const auto requests = rig.device.requests();
    EXPECT_EQ(std::count(requests.begin(), requests.end(), "0000BE9"), 1) << ::testing::PrintToString(requests);
    expectIdleWindow(rig);
}

class IconTitle : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.attachReader();
        rig.show();
        rig.scan();
        rig.device.events.clear();
    }
    std::string writeIcon()
    {
        const std::string path = rig.folder.path() + "/title.ico";
        IconBytes().on(0, 0).write(path);   // all pixels white but the top-left one
        return path;
    }
    WindowRig rig;
};

TEST_F(IconTitle, ChosenFileIsPreviewedAndSent)
{
    rig.iconFiles.answer = writeIcon();
    rig.click("btnTitleIcon");
    ASSERT_EQ(rig.iconFiles.folders.size(), 1u);
    EXPECT_EQ(rig.iconFiles.folders[0], QDir::currentPath().toStdString());
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), 10u);
    EXPECT_EQ(requests.back(), "0000BA2");
    EXPECT_EQ(rig.textOf("cmbTitle"), "Text & Icon Title");
    EXPECT_EQ(rig.textOf("pnMsg"), "Set Ok");

    const QImage& preview = rig.window->preview().picture();
    ASSERT_EQ(preview.size(), QSize(258, 36));
    for (const QPoint& black : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(1, 1)})
        EXPECT_EQ(QColor(preview.pixel(black)), QColor(Qt::black)) << black.x() << "," << black.y();
    for (const QPoint& white : {QPoint(2, 0), QPoint(0, 2), QPoint(3, 3), QPoint(255, 31), QPoint(257, 35)})
        EXPECT_EQ(QColor(preview.pixel(white)), QColor(Qt::white)) << white.x() << "," << white.y();
    expectIdleWindow(rig);
}

TEST_F(IconTitle, CancelledDialogSendsNothingAndReportsNothing)
{
    rig.iconFiles.answer = std::nullopt;
    rig.tone.tones.clear();
    const QString message = rig.textOf("pnMsg");
    rig.click("btnTitleIcon");
    EXPECT_EQ(rig.iconFiles.folders.size(), 1u);
    EXPECT_TRUE(rig.device.events.empty());
    EXPECT_EQ(rig.textOf("pnMsg"), message);
    EXPECT_TRUE(rig.tone.tones.empty());
    EXPECT_EQ(rig.textOf("cmbTitle"), "Text & Icon Title");
    expectIdleWindow(rig);
}

class Screenshot : public ::testing::TestWithParam<int> {};

// Saved for a person to look at: Chinese must show as characters, and nothing may be clipped.
TEST_P(Screenshot, AfterASuccessfulScan)
{
    const char* const flags[3] = {"English", "ChineseGB", "ChineseBIG5"};
    WindowRig rig({std::string("\"LanguageFlag\"=\"") + flags[GetParam()] + "\""});
    rig.attachReader("0042", "A1B2C3D4", "01.40-01");
    rig.show();
    rig.scan();
    ASSERT_TRUE(rig.window->session().readerFound);
    const QImage shot = rig.window->grab().toImage();
    EXPECT_EQ(shot.size() / shot.devicePixelRatio(), QSize(712, 539));
    const QString folder = QStringLiteral(TEMPIK_BINARY_DIR "/ui-screenshots");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString path = folder + QStringLiteral("/window-%1.png").arg(QString::fromLatin1(flags[GetParam()]));
    ASSERT_TRUE(shot.save(path)) << path.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Languages, Screenshot, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::to_string(info.param); });

} // namespace
} // namespace tempik::testing
