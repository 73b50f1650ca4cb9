// FormShow's 28 texts in each language, the start language from the store, the stored line
// definition, and the language buttons.
#include "tests/support/named_row.h"
#include "tests/ui/window_rig.h"

#include "ui/form/control_table.h"
#include "ui/qt/status_lamp.h"
#include "ui/form/window_texts.h"

#include <QAccessible>
#include <QCheckBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>

#include <unistd.h>

namespace tempik::testing {
namespace {

struct ShownText {
    const char* control;   // "frmModule": the window caption
    const char* texts[3];  // English, Simplified, Traditional
};

// In the order FormShow writes them; pnKESTO (the vendor line) is checked on its own.
const ShownText shownTexts[] = {
    {"frmModule", {"KESTO TEMPIK Punch-card Reader Config V1.40-01", "KESTO TEMPIK-1 打卡钟设定程式 V1.40-01", "KESTO TEMPIK-1 打卡鐘設定程式 V1.40-01"}},
    {"pnMsg", {"Start Scan Punch-card Reader!", "请先扫描打卡钟!", "請先掃描打卡鐘!"}},
    {"pnSerial", {"S/N : ________", "序号 : ________", "序號 : ________"}},
    {"pnVersion", {"VER : __.__-__", "版本 : __.__-__", "版本 : __.__-__"}},
    {"lblID", {"ID:", "识别码:", "識別碼:"}},
    {"btnScan", {"&Scan Punch-card Reader", "扫描打卡钟(&S)", "掃描打卡鐘(&S)"}},
    {"btnID", {"Set &ID", "设定识别码(&I)", "設定識別碼(&I)"}},
    {"btnBaudRate", {"Set BaudRate", "设定通讯速度(&B)", "設定通訊速度(&B)"}},
    {"btnFactoryDefault", {"Set &Factory Default", "设定出厂预设值(&F)", "設定出廠預設值(&F)"}},
    {"btnExit", {"&Exit", "结束(&E)", "結束(&E)"}},
    {"btnDateTime", {"Set &Date Time", "设定日期时间(&D)", "設定日期時間(&D)"}},
    {"btnTitle", {"Set Title Text", "设定标题文字", "設定標題文字"}},
    {"lblTitle", {"Title:", "标题列:", "標題列:"}},
    {"btnTitleIcon", {"Icon Title", "图形标题", "圖形標題"}},
    {"btnLanguage", {"Set &Language", "设定语言(&L)", "設定語言(&L)"}},
    {"lblPassword", {"Password:", "密码:", "密碼:"}},
    {"btnPassword", {"Set &Password", "设定密码(&P)", "設定密碼(&P)"}},
    {"lblSound", {"Sound:", "按键声:", "按鍵聲:"}},
    {"btnVolume", {"Set &Volume", "设定音量(&V)", "設定音量(&V)"}},
    {"btnCardType", {"Set &Mode", "设定模式(&M)", "設定模式(&M)"}},
    {"btnBackLight", {"Set &BackLight", "设定背光(&K)", "設定背光(&K)"}},
    {"btnTitleMessage", {"Title Message", "设定讯息", "設定訊息"}},
    {"btnShowMessage", {"Show Message", "显示简讯", "顯示簡訊"}},
    {"btnInstall", {"Install Message", "安装位置", "安裝位置"}},
    {"btnSetTitleMode", {"Set Title Mode", "设定标题模式", "設定標題模式"}},
    {"btnWorkMode", {"Show Work Time", "工作显示时间", "工作顯示時間"}},
    {"btnIdle", {"Set Idle S&creen", "设定闲置画面(&C)", "設定閒置畫面(&C)"}},
};

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

TEST_P(StartLanguage, LanguageButtonSwitchesTextsAndListAndRemembersTheChoice)
{
    const int language = GetParam();
    WindowRig rig;
    rig.show();
    rig.click(languageButtons[language]);
    expectShownTexts(rig, language);
    const QStringList expectedItems[3] = {{"English", "Traditional Chinese", "Simplified Chinese"},
                                          {"英文", "中文繁体", "中文简体"},
                                          {"英文", "中文繁體", "中文簡體"}};
    const int expectedSelection[3] = {0, 2, 1};
    auto* list = rig.get<QComboBox>("cmbLanguage");
    ASSERT_EQ(list->count(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(list->itemText(i), expectedItems[language][i]);
    EXPECT_EQ(list->currentIndex(), expectedSelection[language]);
    EXPECT_NE(rig.configFile().find(std::string("\"LanguageFlag\"=\"") + languageFlags[language] + "\""), std::string::npos)
        << rig.configFile();
    EXPECT_EQ(rig.window->settings().uiLanguage, language);
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
        EXPECT_EQ(chinese, language != english) << controlTable[i].name << ": " << name.toStdString();
        EXPECT_FALSE(name.contains(QLatin1Char('&'))) << controlTable[i].name;
    }
    EXPECT_EQ(named, 41);
    const char* const password[3] = {"Password", "密码", "密碼"};
    const char* const simplified[3] = {"Simplified Chinese", "中文简体", "中文簡體"};
    const char* const backLight[3] = {"Set BackLight", "设定背光", "設定背光"};
    EXPECT_EQ(nameOf("edPassword"), password[language]);
    EXPECT_EQ(nameOf("btnGB"), simplified[language]);
    EXPECT_EQ(nameOf("edBackLight"), backLight[language]);
    // The lock box shows no words: its tool tip says what it does.
    const QString tip = rig.get<QCheckBox>("chkLock")->toolTip();
    EXPECT_TRUE(tip.contains(QStringLiteral("14"))) << tip.toStdString();
    EXPECT_NE(tip.toStdString(), windowText(WindowText::lockTip, (language + 1) % 3));
}

INSTANTIATE_TEST_SUITE_P(Languages, StartLanguage, ::testing::Values(0, 1, 2),
                         [](const auto& info) { return std::string(languageFlags[info.param]); });

TEST(WindowStart, UnknownStoredLanguageStartsInEnglish)
{
    WindowRig rig({"\"LanguageFlag\"=\"chinesebig5\""});
    rig.show();
    expectShownTexts(rig, english);
}

struct StoredLine : NamedRow {
    std::vector<std::string> stored;
    const char* shown;
};

class StoredLineDefinition : public ::testing::TestWithParam<StoredLine> {};

TEST_P(StoredLineDefinition, SelectsTheStoredIndexInTheBaudRateList)
{
    WindowRig rig(GetParam().stored);
    rig.show();
    EXPECT_EQ(rig.textOf("cmbBaudRate"), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(
    Window, StoredLineDefinition,
    ::testing::Values(StoredLine{"FirstRun", {}, "19200,e,8,1"},
                      StoredLine{"Stored7", {"\"ScanCommNo\"=dword:00000002", "\"ScanBaudRateNo\"=dword:00000007",
                                             "\"ScanBaudRate\"=\"38400,e,8,1\""}, "38400,e,8,1"},
                      StoredLine{"Stored0", {"\"ScanBaudRateNo\"=dword:00000000"}, "4800,n,8,1"},
                      StoredLine{"Stored13", {"\"ScanBaudRateNo\"=dword:0000000d"}, "230400,e,8,1"},
                      // An index past the list must not leave the list without a selection.
                      StoredLine{"OutOfRange14", {"\"ScanBaudRateNo\"=dword:0000000e"}, "19200,e,8,1"},
                      StoredLine{"Negative", {"\"ScanBaudRateNo\"=dword:ffffffff"}, "19200,e,8,1"}),
    rowName);

TEST(LanguageSwitch, AfterAScanEmptiesThePanelsButKeepsReaderIdentifierAndLamp)
{
    WindowRig rig;
    rig.attachReader("0042", "A1B2C3D4", "01.40-01");
    rig.show();
    rig.scan();
    ASSERT_TRUE(rig.window->session().readerFound);
    ASSERT_EQ(rig.textOf("pnSerial"), "S/N : A1B2C3D4");
    ASSERT_EQ(rig.window->lamp().colour(), LampColour::yellow);

    rig.click("btnBIG5");
    EXPECT_EQ(rig.textOf("pnSerial").toStdString(), "序號 : ________");
    EXPECT_EQ(rig.textOf("pnVersion").toStdString(), "版本 : __.__-__");
    EXPECT_EQ(rig.textOf("pnMsg").toStdString(), "請先掃描打卡鐘!");
    EXPECT_TRUE(rig.window->session().readerFound);
    EXPECT_EQ(rig.textOf("pnID"), "0042");
    EXPECT_EQ(rig.get<QScrollBar>("sbID")->value(), 42);
    EXPECT_EQ(rig.window->lamp().colour(), LampColour::yellow);

    // The next set operation runs without a new scan, and reports in the new language.
    const size_t before = rig.device.requests().size();
    rig.click("btnPassword");
    const auto requests = rig.device.requests();
    ASSERT_EQ(requests.size(), before + 2);
    EXPECT_EQ(requests.back(), "0000BF6082");
    EXPECT_EQ(rig.textOf("pnMsg").toStdString(), "設定完成");
}

TEST(LanguageSwitch, PressingTheCurrentLanguageAgainSavesAndReselects)
{
    WindowRig rig({"\"LanguageFlag\"=\"ChineseGB\""});
    rig.show();
    rig.click("btnGB");
    auto* list = rig.get<QComboBox>("cmbLanguage");
    list->setCurrentIndex(0);
    rig.window->form().setMessage("Set Ok");
    // Lose the stored value, so only a second save can bring it back.
    ::unlink(rig.configPath().c_str());

    rig.click("btnGB");
    EXPECT_EQ(list->currentIndex(), 2);
    EXPECT_EQ(list->currentText().toStdString(), "中文简体");
    EXPECT_NE(rig.configFile().find("\"LanguageFlag\"=\"ChineseGB\""), std::string::npos);
    EXPECT_EQ(rig.textOf("pnMsg").toStdString(), "请先扫描打卡钟!");
}

TEST(LanguageSwitch, SwitchingDoesNotTouchTheLinkSettingsOrTheLineDefinition)
{
    WindowRig rig({"\"ScanCommNo\"=dword:00000003", "\"ScanBaudRateNo\"=dword:00000002",
                   "\"ScanBaudRate\"=\"9600,n,8,1\""});
    rig.show();
    rig.get<QComboBox>("cmbBaudRate")->setCurrentIndex(9);
    rig.click("btnGB");
    EXPECT_EQ(rig.textOf("cmbBaudRate"), "57600,e,8,1");
    const std::string stored = rig.configFile();
    EXPECT_NE(stored.find("\"ScanBaudRate\"=\"9600,n,8,1\""), std::string::npos) << stored;
    EXPECT_NE(stored.find("\"ScanCommNo\"=dword:00000003"), std::string::npos) << stored;
}

} // namespace
} // namespace tempik::testing
