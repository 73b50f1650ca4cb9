// The window's frame and the controls built from the control table.
#include "tests/ui/window_rig.h"

#include "link/line_definition.h"
#include "ui/form/control_table.h"
#include "ui/qt/status_lamp.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace tempik::testing {
namespace {

TEST(WindowFrame, FixedSizeWithMinimiseButNoMaximiseOrClose)
{
    WindowRig rig;
    rig.show();
    TfrmModule& window = *rig.window;
    EXPECT_EQ(window.size(), QSize(712, 539));
    EXPECT_EQ(window.minimumSize(), QSize(712, 539));
    EXPECT_EQ(window.maximumSize(), QSize(712, 539));
    const Qt::WindowFlags flags = window.windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));

    window.resize(900, 700);
    EXPECT_EQ(window.size(), QSize(712, 539));
}

TEST(WindowFrame, ShrinksInQuarterStepsWhereItCannotFitAtTheScreensScaleAndGrowsBack)
{
    WindowRig rig;
    rig.show();
    TfrmModule& window = *rig.window;
    // 1280 x 1024 at 2x leaves 640 x 512: the window fits only at 1.75x, that is 7/8 of its size.
    const QRect small(0, 0, 640, 512);
    window.placeFrameOn(small, 2.0);
    EXPECT_EQ(window.size(), QSize(623, 472));
    EXPECT_TRUE(small.contains(window.frameGeometry()));
    QPushButton& scan = *rig.get<QPushButton>("btnScan");
    EXPECT_EQ(scan.geometry(), QRect(7, 68, 302, 38));
    EXPECT_EQ(scan.iconSize(), QSize(21, 21));
    EXPECT_EQ(scan.font().pixelSize(), 14);
    EXPECT_EQ(window.control("pnMsg")->font().pixelSize(), 14);

    window.placeFrameOn(QRect(0, 0, 960, 600), 2.0);   // 1920 x 1200 at 2x
    EXPECT_EQ(window.size(), QSize(712, 539));
    EXPECT_EQ(scan.geometry(), QRect(8, 78, 345, 43));
    EXPECT_EQ(scan.font().pixelSize(), 16);
}

TEST(WindowFrame, DesktopCloseIsRefusedAndExitCloses)
{
    WindowRig rig;
    rig.show();
    EXPECT_FALSE(rig.window->close());
    EXPECT_TRUE(rig.window->isVisible());
    QCloseEvent request;
    QApplication::sendEvent(rig.window.get(), &request);
    EXPECT_FALSE(request.isAccepted());

    rig.click("btnExit");
    EXPECT_FALSE(rig.window->isVisible());
    // Nothing is saved on the way out.
    EXPECT_EQ(rig.configFile(), "");
}

TEST(WindowFrame, OpensWaitingForAScan)
{
    WindowRig rig;
    rig.show();
    EXPECT_EQ(QApplication::focusWidget(), rig.window->control("btnScan"));
    EXPECT_TRUE(rig.get<QPushButton>("btnScan")->isDefault());
    EXPECT_EQ(rig.window->lamp().colour(), LampColour::red);
    EXPECT_FALSE(rig.window->busyTimer().isActive());
    EXPECT_EQ(rig.window->form().busyTag(), 0);
    EXPECT_FALSE(rig.window->session().readerFound);
    EXPECT_TRUE(rig.device.events.empty()) << "nothing may start by itself";
    EXPECT_TRUE(rig.tone.tones.empty());
}

TEST(ControlTable, EveryControlSitsWhereItsRowSaysWithItsName)
{
    WindowRig rig;
    rig.show();
    size_t widgets = 0;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        if (row.kind == ControlKind::form || row.kind == ControlKind::timer || row.kind == ControlKind::fileDialog)
            continue;
        ++widgets;
        QWidget* widget = rig.window->findChild<QWidget*>(QString::fromLatin1(row.name));
        ASSERT_NE(widget, nullptr) << row.name;
        EXPECT_EQ(widget->geometry(), QRect(row.left, row.top, row.width, row.height)) << row.name;
        const QWidget* expectedParent = row.parent ? rig.window->control(row.parent) : rig.window.get();
        EXPECT_EQ(widget->parentWidget(), expectedParent) << row.name;
        EXPECT_TRUE(widget->isVisible()) << row.name;
    }
    EXPECT_EQ(widgets, 55u);
    EXPECT_NE(rig.window->findChild<QTimer*>("tmrBusy"), nullptr);
}

TEST(ControlTable, TabWalksTheControlsInTheirOrder)
{
    WindowRig rig;
    rig.show();
    std::vector<std::pair<int, QString>> expected;
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        const bool takesFocus = row.kind == ControlKind::button || row.kind == ControlKind::pictureButton
                                || row.kind == ControlKind::editBox || row.kind == ControlKind::dropDown
                                || row.kind == ControlKind::scrollBar || row.kind == ControlKind::checkBox;
        if (takesFocus)
            expected.emplace_back(row.tab, QString::fromLatin1(row.name));
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_EQ(expected.size(), 41u);
    ASSERT_EQ(QApplication::focusWidget()->objectName(), expected.front().second);
    for (size_t i = 1; i < expected.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), expected[i].second) << "tab stop " << expected[i].first;
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget()->objectName(), expected.front().second) << "the tab order wraps round";
}

TEST(ControlTable, ListsHoldTheirItemsAndInitialSelection)
{
    WindowRig rig;
    auto* baudRate = rig.get<QComboBox>("cmbBaudRate");
    ASSERT_EQ(baudRate->count(), lineDefinitionCount);
    for (int i = 0; i < lineDefinitionCount; ++i)
        EXPECT_EQ(baudRate->itemText(i).toStdString(), lineDefinitions[static_cast<size_t>(i)]) << i;

    struct List {
        const char* name;
        int count;
        const char* selected;
    };
    for (const List& list : {List{"cmbSound", 10, "9"}, List{"cmbHour", 2, "12H"}, List{"cmbCardType", 2, "32 bits Card"},
                             List{"cmbTitle", 3, "No Title"}, List{"cmbIdle", 2, "Date & Time"},
                             List{"cmbLanguage", 3, "English"}}) {
        auto* box = rig.get<QComboBox>(list.name);
        EXPECT_EQ(box->count(), list.count) << list.name;
        EXPECT_EQ(box->currentText(), list.selected) << list.name;
        EXPECT_FALSE(box->isEditable()) << list.name;
    }
    EXPECT_EQ(rig.get<QComboBox>("cmbTitle")->itemText(2), "Text & Icon Title");
    EXPECT_TRUE(rig.get<QCheckBox>("chkLock")->isChecked());
    EXPECT_EQ(rig.get<QCheckBox>("chkLock")->text(), "");
}

TEST(Lamp, IsATwentyPixelCircleCentredInItsBoxWithABlackOutline)
{
    WindowRig rig;
    rig.show();
    StatusLamp& lamp = rig.window->lamp();
    QImage red = lamp.grab().toImage();
    // grab() may render at a device pixel ratio; compare at 1:1.
    red = red.scaled(lamp.size());
    EXPECT_EQ(QColor(red.pixel(11, 10)), QColor(255, 0, 0));
    rig.window->form().setLamp(LampColour::yellow);
    const QImage yellow = lamp.grab().toImage().scaled(lamp.size());
    EXPECT_EQ(QColor(yellow.pixel(11, 10)), QColor(255, 255, 0));
    // The outline is dark; the corners of the box are outside the circle.
    const QColor edge(yellow.pixel(11, 0));
    EXPECT_LT(edge.lightness(), 100);
    EXPECT_NE(QColor(yellow.pixel(0, 0)), QColor(255, 255, 0));
}

// Every tab stop shows that it has the focus, and looks as before once it has lost it.
TEST(FocusMark, ShowsOnEveryTabStopAndLeavesNoTrace)
{
    WindowRig rig;
    rig.show();
    QWidget* elsewhere = rig.window->control("btnEng");
    int marked = 0;
    for (size_t i = 0; i < controlCount; ++i) {
        QWidget* widget = rig.window->control(controlTable[i].name);
        if (!widget || widget->focusPolicy() == Qt::NoFocus || widget == elsewhere)
            continue;
        const auto look = [&] { return rig.window->grab(widget->geometry()).toImage(); };
        elsewhere->setFocus();
        const QImage unfocused = look();
        widget->setFocus();
        EXPECT_NE(look(), unfocused) << controlTable[i].name;
        elsewhere->setFocus();
        EXPECT_EQ(look(), unfocused) << controlTable[i].name;
        ++marked;
    }
    EXPECT_EQ(marked, 40);
}

// While the window is busy the value fields look disabled, as the buttons do.
TEST(BusyWindow, ValueFieldsLookDisabled)
{
    WindowRig rig;
    rig.show();
    std::vector<QWidget*> fields;
    for (QLineEdit* box : rig.window->findChildren<QLineEdit*>())
        fields.push_back(box);
    for (QComboBox* list : rig.window->findChildren<QComboBox*>())
        fields.push_back(list);
    ASSERT_EQ(fields.size(), 14u);
    const auto background = [](QWidget* field) { return field->grab().toImage().scaled(field->size()).pixelColor(4, 4); };
    std::vector<QColor> idle;
    for (QWidget* field : fields)
        idle.push_back(background(field));
    rig.window->form().setBusy(true);
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_NE(background(fields[i]), idle[i]) << fields[i]->objectName().toStdString();
    rig.window->form().setBusy(false);
    for (size_t i = 0; i < fields.size(); ++i)
        EXPECT_EQ(background(fields[i]), idle[i]) << fields[i]->objectName().toStdString();
}

// The pictures are drawn from SVGs: sharp at any scale, not a small PNG blown up.
TEST(Pictures, ButtonsAndWindowIconScaleWithoutLoss)
{
    WindowRig rig;
    for (const char* button : {"btnScan", "btnID", "btnExit", "btnClrTitle", "btnClrInstall", "btnTitleClear"}) {
        const QIcon icon = rig.get<QPushButton>(button)->icon();
        EXPECT_EQ(icon.pixmap(QSize(96, 96)).size(), QSize(96, 96)) << button;
    }
    EXPECT_EQ(rig.window->windowIcon().pixmap(QSize(128, 128)).size(), QSize(128, 128));
}

} // namespace
} // namespace tempik::testing
