// What only the Qt window shows of the texts: FormShow's texts on the widgets before the window
// shows, the accelerators pressing their buttons, and the names a screen reader gets.
#include "tests/support/shown_texts.h"
#include "tests/ui/window_rig.h"

#include "ui/form/control_table.h"
#include "ui/form/window_texts.h"
#include "ui/qt/status_lamp.h"

#include <QAccessible>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

namespace tempik::testing {
namespace {

const char* const languageFlags[3] = {"English", "ChineseGB", "ChineseBIG5"};
const char* const languageButtons[3] = {"btnEng", "btnGB", "btnBIG5"};

// What FormShow never touches keeps the texts it was built with, in every language.
void expectUnchangedByLanguage(const WindowRig& rig)
{
    EXPECT_EQ(rig.textOf("btnEng"), "English");
    EXPECT_EQ(rig.textOf("lblBackLight"), "000-250 ");
    EXPECT_EQ(rig.textOf("lblWork"), "001-250 ");
    EXPECT_EQ(rig.textOf("btnGB"), "");
    EXPECT_EQ(rig.textOf("btnBIG5"), "");
    EXPECT_EQ(rig.textOf("cmbCardType"), "32 bits Card");
}

void expectShownTexts(WindowRig& rig, int language)
{
    for (const ShownText& row : shownTexts) {
        const QString shown = std::string(row.control) == "frmModule" ? rig.window->windowTitle() : rig.textOf(row.control);
        EXPECT_EQ(shown.toStdString(), row.texts[language]) << row.control << " in language " << language;
    }
    // The vendor line: the company in the language, then the same web address in all three.
    const std::string vendor = rig.textOf("pnKESTO").toStdString();
    EXPECT_FALSE(vendor.empty());
    EXPECT_EQ(vendor, text(txtVendorLine, language));
    expectUnchangedByLanguage(rig);
}

class StartLanguage : public ::testing::TestWithParam<int> {};

TEST_P(StartLanguage, FormShowWritesEveryTextInTheStoredLanguageBeforeTheWindowShows)
{
    const int language = GetParam();
    WindowRig rig({std::string("\"LanguageFlag\"=\"") + languageFlags[language] + "\""});
    // Not shown yet: the texts are still the designed ones.
    EXPECT_EQ(rig.window->windowTitle().toStdString(), shownTexts[0].texts[0]);
    rig.show();
    expectShownTexts(rig, language);
    // The reader display language list keeps its designed English items whatever the start language.
    auto* list = rig.get<QComboBox>("cmbLanguage");
    ASSERT_EQ(list->count(), 3);
    EXPECT_EQ(list->itemText(0), "English");
    EXPECT_EQ(list->itemText(1), "Traditional Chinese");
    EXPECT_EQ(list->itemText(2), "Simplified Chinese");
    EXPECT_EQ(list->currentIndex(), 0);
}

// Alt with a button's letter presses that button: no two buttons of a language share a letter.
TEST_P(StartLanguage, EveryAcceleratorPressesItsButton)
{
    WindowRig rig({std::string("\"LanguageFlag\"=\"") + languageFlags[GetParam()] + "\""});
    rig.show();
    QList<QPushButton*> buttons = rig.window->findChildren<QPushButton*>();
    // Exit last: it closes the window.
    std::stable_partition(buttons.begin(), buttons.end(), [](QPushButton* b) { return b->objectName() != "btnExit"; });
    int pressed = 0;
    for (QPushButton* button : buttons) {
        const QKeySequence accelerator = QKeySequence::mnemonic(button->text());
        if (accelerator.isEmpty())
            continue;
        QSignalSpy clicks(button, &QPushButton::clicked);
        QTest::keyClick(rig.window.get(), accelerator[0].key(), Qt::AltModifier);
        EXPECT_TRUE(clicks.count() == 1 || clicks.wait(5000)) << button->objectName().toStdString();
        ++pressed;
    }
    EXPECT_EQ(pressed, GetParam() == english ? 11 : 12) << "\"Set BaudRate\" has none in English";
    EXPECT_FALSE(rig.window->isVisible());
}

// A screen reader finds a name in the window's language on every control that takes the focus.
TEST_P(StartLanguage, EveryTabStopHasAnAccessibleNameInTheWindowLanguage)
{
    const int language = GetParam();
    WindowRig rig;
    rig.show();
    rig.click(languageButtons[language]);
    const auto nameOf = [&](const char* control) {
        return QAccessible::queryAccessibleInterface(rig.window->control(control))->text(QAccessible::Name).toStdString();
    };
    int named = 0;
    for (size_t i = 0; i < controlCount; ++i) {
        QWidget* widget = rig.window->control(controlTable[i].name);
        if (!widget || widget->focusPolicy() == Qt::NoFocus)
            continue;
        ++named;
        const QString name = QString::fromStdString(nameOf(controlTable[i].name));
        const bool chinese = std::any_of(name.begin(), name.end(), [](QChar c) { return c.unicode() >= 0x4E00; });
        EXPECT_FALSE(name.isEmpty()) << controlTable[i].name;
        if (std::string(controlTable[i].name) != "btnEng" && std::string(controlTable[i].name) != "btnGB"
            && std::string(controlTable[i].name) != "btnBIG5") {   // each says its own language
            EXPECT_EQ(chinese, language != english) << controlTable[i].name << ": " << name.toStdString();
        }
        EXPECT_FALSE(name.contains(QLatin1Char('&'))) << controlTable[i].name;
    }
    EXPECT_EQ(named, 41);
    const char* const password[3] = {"Password", "密码", "密碼"};
    const char* const backLight[3] = {"Set BackLight", "设定背光", "設定背光"};
    EXPECT_EQ(nameOf("edPassword"), password[language]);
    EXPECT_EQ(nameOf("btnGB"), "简体中文");
    // Qt's own list interface stays, with the name: the list's items are its children.
    QAccessibleInterface* list = QAccessible::queryAccessibleInterface(rig.window->control("cmbHour"));
    const char* const hour[3] = {"Hour display", "时间显示格式", "時間顯示格式"};
    EXPECT_EQ(list->text(QAccessible::Name).toStdString(), hour[language]);
    EXPECT_EQ(list->text(QAccessible::Value).toStdString(), "12H");
    ASSERT_EQ(list->childCount(), 1);
    EXPECT_EQ(list->child(0)->childCount(), 2) << "12H and 24H";
    // The message bar is a status bar whose name is the message.
    QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(rig.window->control("pnMsg"));
    EXPECT_EQ(bar->role(), QAccessible::StatusBar);
    EXPECT_EQ(bar->text(QAccessible::Name), rig.textOf("pnMsg"));
    EXPECT_EQ(nameOf("edBackLight"), backLight[language]);
    // The lock box shows no words: its tool tip says what it does.
    const QString tip = rig.get<QCheckBox>("chkLock")->toolTip();
    EXPECT_TRUE(tip.contains(QStringLiteral("14"))) << tip.toStdString();
    EXPECT_NE(tip.toStdString(), windowText(WindowText::lockTip, (language + 1) % 3));
}

// Qt's own texts (message box buttons, the file dialog) follow the window language.
TEST(QtTexts, FollowTheWindowLanguage)
{
    WindowRig rig;
    rig.show();
    rig.click("btnGB");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "取消");
    rig.click("btnBIG5");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "取消");
    rig.click("btnEng");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel").toStdString(), "Cancel");
}

INSTANTIATE_TEST_SUITE_P(Languages, StartLanguage, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::string(languageFlags[info.param]); });

} // namespace
} // namespace tempik::testing
