// The operator's input: the identifier scroll bar, the edit boxes' limits and the Enter key.
#include "tests/support/named_row.h"
#include "tests/ui/window_rig.h"

#include "reader/control_values.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

namespace tempik::testing {
namespace {

TEST(IdentifierBar, ArrowsStepByOneTrackByTenWithinOneTo9999)
{
    WindowRig rig;
    rig.show();
    auto* bar = rig.get<QScrollBar>("sbID");
    EXPECT_EQ(bar->value(), 1);
    const QPoint leftArrow(4, bar->height() / 2);
    const QPoint rightArrow(bar->width() - 4, bar->height() / 2);
    const QPoint trackRightEnd(bar->width() - 30, bar->height() / 2);

    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, leftArrow);
    EXPECT_EQ(bar->value(), 1) << "the bar stops at 1";
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, rightArrow);
    EXPECT_EQ(bar->value(), 2);
    EXPECT_EQ(rig.textOf("pnID"), "0002");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, trackRightEnd);
    EXPECT_EQ(bar->value(), 12);
    EXPECT_EQ(rig.textOf("pnID"), "0012");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, leftArrow);
    EXPECT_EQ(bar->value(), 11);
    EXPECT_EQ(rig.textOf("pnID"), "0011");

    // The keyboard moves it the same way.
    bar->setFocus();
    QTest::keyClick(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 21);
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(bar->value(), 20);
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(bar->value(), 21);
    QTest::keyClick(bar, Qt::Key_PageDown);
    EXPECT_EQ(bar->value(), 11);

    bar->setValue(9995);
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, QPoint(30, bar->height() / 2));
    EXPECT_EQ(bar->value(), 9985);
    bar->setValue(9995);
    QTest::keyClick(bar, Qt::Key_PageUp);
    EXPECT_EQ(bar->value(), 9999) << "the bar stops at 9999";
    EXPECT_EQ(rig.textOf("pnID"), "9999");
    QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, rightArrow);
    EXPECT_EQ(bar->value(), 9999);
}

struct EditLimit {
    const char* box;
    int bytes;
};

class EditBoxLimit : public ::testing::TestWithParam<EditLimit> {};

// A paste longer than the room left is cut at the limit, at a whole character, where it goes in.
TEST_P(EditBoxLimit, CutsAPastePastItsLimitAtAWholeCharacter)
{
    const int limit = GetParam().bytes;
    WindowRig rig;
    rig.show();
    auto* box = rig.get<QLineEdit>(GetParam().box);
    for (const int language : {english, simplifiedChinese}) {
        rig.click(language == english ? "btnEng" : "btnGB");
        const QChar character = language == english ? QLatin1Char('7') : QChar(0x4E2D);
        const int room = (limit - 2) / (language == english ? 1 : 2);
        box->setText(QStringLiteral("ab"));
        box->setCursorPosition(1);
        QApplication::clipboard()->setText(QString(limit + 4, character));
        box->paste();
        EXPECT_EQ(box->text(), QLatin1Char('a') + QString(room, character) + QLatin1Char('b')) << language;
    }
}

// Neither a control character nor one the code page lacks (中 in Windows-1252) may go in.
TEST_P(EditBoxLimit, RefusesControlCharactersFromPasteAndInsert)
{
    WindowRig rig;
    rig.show();
    auto* box = rig.get<QLineEdit>(GetParam().box);
    box->setText(QStringLiteral("ab"));
    box->setCursorPosition(2);
    for (const char* hostile : {"\x01", "\x02xy", "\x03", "\r", "\n", "\x1f", "\t", "\x7f", "中", "中x"}) {
        box->insert(QString::fromUtf8(hostile));
        EXPECT_EQ(box->text(), "ab") << "inserting " << hostile;
        QApplication::clipboard()->setText(QString::fromUtf8(hostile));
        box->paste();
        EXPECT_EQ(box->text(), "ab");
    }
    QApplication::clipboard()->setText(QStringLiteral("c"));
    box->paste();
    EXPECT_EQ(box->text(), "abc");
}

INSTANTIATE_TEST_SUITE_P(Window, EditBoxLimit,
                         ::testing::Values(EditLimit{"edTitle", controlValues::edTitle.limitBytes},
                                           EditLimit{"edInstall", controlValues::edInstall.limitBytes},
                                           EditLimit{"edPassword", controlValues::edPassword.limitBytes},
                                           EditLimit{"edBackLight", controlValues::edBackLight.limitBytes},
                                           EditLimit{"edWork", controlValues::edWork.limitBytes},
                                           EditLimit{"edMessage", controlValues::edMessage.limitBytes},
                                           EditLimit{"edShow", controlValues::edShow.limitBytes}),
                         [](const auto& info) { return std::string(info.param.box); });

TEST(EditBoxes, TextsReachTheReaderAsTyped)
{
    WindowRig rig;
    rig.attachReader();
    rig.show();
    rig.scan();
    auto* password = rig.get<QLineEdit>("edPassword");
    password->clear();
    typeText(password, QStringLiteral("a1 ?"));
    rig.click("btnPassword");
    EXPECT_EQ(rig.device.requests().back(), "0000BFa1 ?");
    // Big5 lacks 钟: the box refuses it rather than show it and send "?".
    rig.click("btnBIG5");
    password->clear();
    typeText(password, QString::fromUtf8("钟12"));
    EXPECT_EQ(password->text(), "12");
    rig.click("btnPassword");
    EXPECT_EQ(rig.device.requests().back(), "0000BF12");
}

TEST(EnterKey, StartsTheScanUnlessAnotherButtonHasTheFocus)
{
    WindowRig rig;
    rig.attachReader();
    rig.show();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_FALSE(rig.device.requests().empty());
    EXPECT_EQ(rig.device.requests().front(), "0000AS");
    EXPECT_TRUE(rig.window->session().readerFound);

    // From an edit box or a list, Enter still starts the scan.
    for (const char* from : {"edTitle", "cmbHour"}) {
        rig.device.events.clear();
        QWidget* widget = rig.window->control(from);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_Enter);
        ASSERT_FALSE(rig.device.requests().empty()) << from;
        EXPECT_EQ(rig.device.requests().front(), "0000AS") << from;
        EXPECT_EQ(rig.device.requests().back(), "0000AV") << from;
    }

    // A focused button takes Enter itself.
    rig.device.events.clear();
    QWidget* password = rig.window->control("btnPassword");
    password->setFocus();
    QTest::keyClick(password, Qt::Key_Return);
    EXPECT_EQ(rig.device.requests(), (std::vector<std::string>{"0000AS", "0000BF6082"}));
}

struct FocusedKey : NamedRow {
    const char* focused;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    const char* lastRequest;
};

class FocusReturn : public ::testing::TestWithParam<FocusedKey> {};

// An operation disables the window, which drops the focus; afterwards it is where it was.
TEST_P(FocusReturn, AfterTheOperationTheFocusIsWhereItWas)
{
    const FocusedKey row = GetParam();
    WindowRig rig;
    rig.attachReader();
    rig.show();
    rig.scan();
    QWidget* focused = rig.window->control(row.focused);
    focused->setFocus();
    QTest::keyClick(focused, row.key, row.modifiers);
    // An accelerator presses its button a moment later, as the button shows it pressed.
    EXPECT_TRUE(QTest::qWaitFor([&] { return rig.device.requests().back() == row.lastRequest; }, 5000));
    EXPECT_EQ(rig.device.requests().back(), row.lastRequest);
    EXPECT_EQ(QApplication::focusWidget(), focused);
}

INSTANTIATE_TEST_SUITE_P(Window, FocusReturn,
                         ::testing::Values(FocusedKey{"PasswordBoxAltP", "edPassword", Qt::Key_P, Qt::AltModifier, "0000BF6082"},
                                           FocusedKey{"HourListEnterScans", "cmbHour", Qt::Key_Return, Qt::NoModifier, "0000AV"},
                                           FocusedKey{"VolumeButtonSpace", "btnVolume", Qt::Key_Space, Qt::NoModifier, "0000BE9"}),
                         rowName);

// Resting the pointer on a list or the identifier bar and turning the wheel changes nothing;
// once the control has the focus the wheel turns it.
TEST(Wheel, TurnsAListOrTheIdentifierBarOnlyWithTheFocus)
{
    WindowRig rig;
    rig.show();
    rig.get<QScrollBar>("sbID")->setValue(500);
    for (const char* name : {"cmbBaudRate", "sbID"}) {
        QWidget* widget = rig.window->control(name);
        const auto value = [&] {
            auto* list = qobject_cast<QComboBox*>(widget);
            return list ? list->currentIndex() : qobject_cast<QScrollBar*>(widget)->value();
        };
        const int before = value();
        const auto turn = [&] {
            const QPointF centre = QRectF(widget->rect()).center();
            QWheelEvent wheel(centre, widget->mapToGlobal(centre), QPoint(), QPoint(0, -120), Qt::NoButton,
                              Qt::NoModifier, Qt::NoScrollPhase, false);
            QApplication::sendEvent(widget, &wheel);
        };
        rig.window->control("btnScan")->setFocus();
        turn();
        EXPECT_EQ(value(), before) << name;
        EXPECT_FALSE(widget->hasFocus()) << name << ": the wheel takes no focus";
        widget->setFocus();
        turn();
        EXPECT_NE(value(), before) << name;
    }
}

} // namespace
} // namespace tempik::testing
