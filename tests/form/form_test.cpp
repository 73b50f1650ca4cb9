// The form's decisions on a fake view: start-up, the language switch, the button-to-operation
// map, one handler at a time with recovery after an error, the blink, the close policy and what
// the operator is told.
#include "tests/form/form_rig.h"
#include "tests/support/named_row.h"
#include "tests/support/shown_texts.h"

#include "texts/text_table.h"
#include "ui/form/window_texts.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace tempik::testing {
namespace {

const char* const languageButtons[3] = {"btnEng", "btnGB", "btnBIG5"};

void expectShownTexts(FormRig& rig, int language)
{
    for (const ShownText& row : shownTexts)
        EXPECT_EQ(rig.text(row.control), row.texts[language]) << row.control << " in language " << language;
    EXPECT_EQ(rig.text("pnKESTO"), text(txtVendorLine, language));
    EXPECT_EQ(rig.text("btnEng"), "English") << "FormShow leaves the fixed texts alone";
}

void expectIdle(FormRig& rig)
{
    EXPECT_TRUE(rig.view.enabled);
    EXPECT_TRUE(rig.view.timers.empty());
    EXPECT_FALSE(rig.view.waitCursor);
    EXPECT_FALSE(rig.form.link().isOpen());
}

struct Start : NamedRow {
    std::map<std::string, StoredValue> stored;
    int language;
    int lineIndex;
};

class FormStart : public ::testing::TestWithParam<Start> {};

TEST_P(FormStart, TakesLanguageAndLineFromTheStoreAndWaitsForAScan)
{
    FormRig rig(GetParam().stored);
    expectShownTexts(rig, GetParam().language);
    EXPECT_EQ(rig.view.selected("cmbBaudRate"), GetParam().lineIndex);
    // The reader display language list keeps its designed English items whatever the language.
    EXPECT_EQ(rig.view.at("cmbLanguage").items,
              (std::vector<std::string>{"English", "Traditional Chinese", "Simplified Chinese"}));
    EXPECT_EQ(rig.view.focused, "btnScan");
    EXPECT_EQ(rig.view.lamp, LampColour::red);
    EXPECT_FALSE(rig.form.session().readerFound);
    EXPECT_FALSE(rig.form.mayClose());
    expectIdle(rig);
}

INSTANTIATE_TEST_SUITE_P(
    Form, FormStart,
    ::testing::Values(Start{"FirstRun", {}, english, 5},
                      Start{"Stored7", {{"ScanCommNo", storedNumber(2)}, {"ScanBaudRateNo", storedNumber(7)},
                                        {"ScanBaudRate", storedText("38400,e,8,1")}}, english, 7},
                      Start{"Stored0", {{"ScanBaudRateNo", storedNumber(0)}}, english, 0},
                      Start{"Stored13", {{"ScanBaudRateNo", storedNumber(13)}}, english, 13},
                      // An index past the list must not leave the list without a selection.
                      Start{"OutOfRange14", {{"ScanBaudRateNo", storedNumber(14)}}, english, 5},
                      Start{"Negative", {{"ScanBaudRateNo", storedNumber(-1)}}, english, 5},
                      Start{"ChineseGB", {{"LanguageFlag", storedText("ChineseGB")}}, simplifiedChinese, 5},
                      Start{"ChineseBIG5", {{"LanguageFlag", storedText("ChineseBIG5")}}, traditionalChinese, 5},
                      Start{"UnknownLanguage", {{"LanguageFlag", storedText("chinesebig5")}}, english, 5}),
    rowName);

class LanguageButton : public ::testing::TestWithParam<int> {};

TEST_P(LanguageButton, SwitchesTextsNamesAndListAndRemembersTheChoice)
{
    const int language = GetParam();
    FormRig rig;
    rig.click(languageButtons[language]);
    expectShownTexts(rig, language);
    const std::vector<std::string> items[3] = {{"English", "Traditional Chinese", "Simplified Chinese"},
                                               {"英文", "中文繁体", "中文简体"},
                                               {"英文", "中文繁體", "中文簡體"}};
    const int selection[3] = {0, 2, 1};
    EXPECT_EQ(rig.view.at("cmbLanguage").items, items[language]);
    EXPECT_EQ(rig.view.selected("cmbLanguage"), selection[language]);
    EXPECT_EQ(rig.store.values.at("LanguageFlag").text, languageFlagFor(language));
    EXPECT_EQ(rig.form.settings().uiLanguage, language);
    const char* const password[3] = {"Password", "密码", "密碼"};
    const char* const backLight[3] = {"Set BackLight", "设定背光", "設定背光"};
    EXPECT_EQ(rig.view.at("edPassword").accessibleName, password[language]);
    EXPECT_EQ(rig.view.at("edBackLight").accessibleName, backLight[language]);
    EXPECT_EQ(rig.view.at("chkLock").toolTip, windowText(WindowText::lockTip, language));
    EXPECT_TRUE(rig.view.boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Languages, LanguageButton, ::testing::Values(0, 1, 2));

TEST(LanguageSwitch, AfterAScanEmptiesThePanelsButKeepsReaderIdentifierAndLamp)
{
    FormRig rig;
    rig.attachReader("0042");
    rig.click("btnScan");
    ASSERT_EQ(rig.text("pnSerial"), "S/N : A1B2C3D4");
    ASSERT_EQ(rig.view.lamp, LampColour::yellow);

    rig.click("btnBIG5");
    EXPECT_EQ(rig.text("pnSerial"), "序號 : ________");
    EXPECT_EQ(rig.text("pnVersion"), "版本 : __.__-__");
    EXPECT_EQ(rig.text("pnMsg"), "請先掃描打卡鐘!");
    EXPECT_TRUE(rig.form.session().readerFound);
    EXPECT_EQ(rig.text("pnID"), "0042");
    EXPECT_EQ(rig.view.selected("sbID"), 42);
    EXPECT_EQ(rig.view.lamp, LampColour::yellow);

    // The next set operation runs without a new scan, and reports in the new language.
    rig.click("btnPassword");
    EXPECT_EQ(rig.commands(), std::vector<std::string>{"0000BF6082"});
    EXPECT_EQ(rig.text("pnMsg"), "設定完成");
}

TEST(LanguageSwitch, PressingTheCurrentLanguageAgainSavesAndReselectsAndLeavesTheLineAlone)
{
    FormRig rig({{"LanguageFlag", storedText("ChineseGB")}, {"ScanCommNo", storedNumber(3)},
                 {"ScanBaudRateNo", storedNumber(2)}, {"ScanBaudRate", storedText("9600,n,8,1")}});
    rig.view.select("cmbLanguage", 0);
    rig.view.select("cmbBaudRate", 9);
    rig.form.setMessage("Set Ok");
    rig.store.values.erase("LanguageFlag");   // only a second save can bring it back

    rig.click("btnGB");
    EXPECT_EQ(rig.view.selected("cmbLanguage"), 2);
    EXPECT_EQ(rig.store.values.at("LanguageFlag").text, "ChineseGB");
    EXPECT_EQ(rig.text("pnMsg"), "请先扫描打卡钟!");
    EXPECT_EQ(rig.view.selected("cmbBaudRate"), 9);
    EXPECT_EQ(rig.store.values.at("ScanBaudRate").text, "9600,n,8,1");
    EXPECT_EQ(rig.store.values.at("ScanCommNo").integer, 3);
}

// The limits count bytes of the new code page: "é" is one byte in Windows-1252, two in GBK.
TEST(LanguageSwitch, CutsWhatTheNewCodePageCannotHoldAndSaysSo)
{
    FormRig rig;
    std::string sixteen, eight;
    for (int i = 0; i < 16; ++i)
        sixteen += "é";
    for (int i = 0; i < 8; ++i)
        eight += "é";
    rig.view.setText("edTitle", sixteen);
    rig.view.setText("edPassword", "é1");
    rig.click("btnGB");
    EXPECT_EQ(rig.text("edTitle"), eight);
    EXPECT_EQ(rig.text("edPassword"), "é1");
    EXPECT_EQ(rig.text("edInstall"), "Office");
    EXPECT_EQ(rig.text("pnMsg"), windowText(WindowText::textsShortened, simplifiedChinese));
    rig.click("btnEng");
    EXPECT_EQ(rig.text("pnMsg"), "Start Scan Punch-card Reader!") << "nothing was cut this time";
}

struct ButtonRow {
    const char* button;
    const char* command;   // the code of a command the click sends
};

class ButtonMap : public ::testing::TestWithParam<ButtonRow> {};

TEST_P(ButtonMap, EachButtonStartsItsOwnOperation)
{
    FormRig rig;
    rig.attachReader();
    rig.click("btnScan");
    rig.click(GetParam().button);
    bool sent = false;
    for (const std::string& command : rig.commands())
        sent = sent || command.compare(4, std::string(GetParam().command).size(), GetParam().command) == 0;
    EXPECT_TRUE(sent) << ::testing::PrintToString(rig.commands());
    EXPECT_EQ(rig.text("pnMsg"), "Set Ok");
    expectIdle(rig);
}

INSTANTIATE_TEST_SUITE_P(
    Form, ButtonMap,
    ::testing::Values(ButtonRow{"btnID", "AD"}, ButtonRow{"btnBaudRate", "AE"}, ButtonRow{"btnFactoryDefault", "AI"},
                      ButtonRow{"btnDateTime", "AA"}, ButtonRow{"btnLanguage", "BC"}, ButtonRow{"btnPassword", "BF"},
                      ButtonRow{"btnVolume", "BE"}, ButtonRow{"btnCardType", "AH"}, ButtonRow{"btnBackLight", "BH"},
                      ButtonRow{"btnWorkMode", "BJ"}, ButtonRow{"btnIdle", "AG"}, ButtonRow{"btnSetTitleMode", "BA0"},
                      ButtonRow{"btnTitle", "BA1KESTO"}, ButtonRow{"btnTitleClear", "BA1 "}, ButtonRow{"btnInstall", "BA3Office"},
                      ButtonRow{"btnClrInstall", "BA3 "}, ButtonRow{"btnTitleMessage", "BA4Welcome"},
                      ButtonRow{"btnClrTitle", "BA4 "}, ButtonRow{"btnShowMessage", "BIHello!"}),
    [](const auto& info) { return std::string(info.param.button); });

TEST(Handler, OneRunsAtATimeAndTheFocusGoesBackWhereItWas)
{
    FormRig rig;
    rig.attachReader();
    rig.view.focused = "edPassword";
    int passes = 0;
    rig.view.duringEventPass = [&] {
        // A click that slips through an event pass of a running operation starts nothing.
        if (passes++ == 0)
            rig.click("btnVolume");
    };
    rig.click("btnScan");
    EXPECT_GT(passes, 0);
    EXPECT_EQ(rig.text("pnMsg"), "Get Reader Info Ok. (COM : #1)");
    EXPECT_TRUE(rig.commands().empty()) << ::testing::PrintToString(rig.commands());
    EXPECT_EQ(rig.view.focused, "edPassword");
    expectIdle(rig);
}

// Input given while the window is busy is dropped, not run once the operation has ended: a
// double click sends one command, a click after the operation runs.
TEST(Handler, InputWhileBusyIsDroppedNotDeferred)
{
    FormRig rig;
    rig.attachReader();
    rig.click("btnScan");
    uint32_t start = rig.clock.nowMs();
    rig.click("btnVolume");
    const uint32_t operationMs = rig.clock.nowMs() - start;
    ASSERT_GT(operationMs, 120u);
    rig.device.events.clear();

    start = rig.clock.nowMs();
    rig.view.input = {{start, "btnVolume"}, {start + 120, "btnVolume"}, {start + operationMs + 50, "btnCardType"}};
    rig.view.runEventLoop();
    EXPECT_EQ(rig.commands(), (std::vector<std::string>{"0000BE9", "0000AH0"}));
    expectIdle(rig);
}

TEST(Handler, AnErrorIsShownAndTheWindowGoesOn)
{
    FormRig rig;
    rig.attachReader();
    rig.click("btnScan");
    rig.device.responder = [](const std::string&, const std::string&, const std::string&) -> std::vector<uint8_t> {
        throw std::runtime_error("device exploded");
    };
    rig.click("btnPassword");
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].kind, MessageBoxKind::error);
    EXPECT_EQ(rig.view.boxes[0].text, "device exploded");
    expectIdle(rig);

    rig.attachReader();
    rig.click("btnPassword");
    EXPECT_EQ(rig.text("pnMsg"), "Set Ok");
}

TEST(Handler, AStoreThatCannotSaveIsToldOncePerHandlerInTheWindowLanguage)
{
    FormRig rig;
    rig.attachReader();
    rig.store.refuseSaves = true;
    rig.click("btnScan");
    EXPECT_EQ(rig.text("pnMsg"), "Get Reader Info Ok. (COM : #1)");
    rig.click("btnGB");
    rig.click("btnVolume");   // saves nothing, says nothing more
    ASSERT_EQ(rig.view.boxes.size(), 2u);
    EXPECT_EQ(rig.view.boxes[0].text, windowText(WindowText::settingsUnsaved, english, "the test's store"));
    EXPECT_EQ(rig.view.boxes[1].text, windowText(WindowText::settingsUnsaved, simplifiedChinese, "the test's store"));
    EXPECT_EQ(rig.view.boxes[1].kind, MessageBoxKind::warning);
}

// The reader took the new line, so "Set Ok" stands; but the raw port keeps the server's line.
TEST(Handler, AReaderMovedToAnotherLineBehindARawNetworkPortIsToldThePortCannotFollow)
{
    FormRig rig({{"LanguageFlag", storedText("ChineseBIG5")}});
    for (const char* url : {"socket://192.0.2.7:4001", "rfc2217://192.0.2.7:4001"}) {
        rig.ports.paths[1] = url;
        rig.device.responder = readerOn(url, "");
        rig.click("btnScan");
        rig.view.select("cmbBaudRate", 9);
        rig.click("btnBaudRate");
        EXPECT_EQ(rig.text("pnMsg"), text(txtSetOk, traditionalChinese));
        rig.click("btnVolume");
        rig.click("btnFactoryDefault");
    }
    EXPECT_EQ(rig.commands().size(), 6u);
    ASSERT_EQ(rig.view.boxes.size(), 2u);
    EXPECT_EQ(rig.view.boxes[0].text, windowText(WindowText::rawPortKeepsLine, traditionalChinese, lineDefinitions[9]));
    EXPECT_EQ(rig.view.boxes[1].text,
              windowText(WindowText::rawPortKeepsLine, traditionalChinese, lineDefinitions[factoryLineDefinitionIndex]));
    EXPECT_EQ(rig.view.boxes[1].kind, MessageBoxKind::warning);
}

TEST(Scan, PortsRefusedForLackOfPermissionAreNamedOncePerScanThatFoundNothing)
{
    FormRig rig({{"ScanCommNo", storedNumber(2)}, {"LanguageFlag", storedText("ChineseGB")}});
    rig.ports.ports = {1, 2, 3};
    rig.device.refusing["COM2"] = DeviceFailure::accessDenied;
    rig.device.refusing["COM3"] = DeviceFailure::accessDenied;
    rig.click("btnScan");   // COM2 refused as the remembered port and again in the sweep: one line
    EXPECT_EQ(rig.text("pnMsg"), text(txtReaderNotFound, simplifiedChinese));
    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].text, windowText(WindowText::portsRefused, simplifiedChinese, "COM2 (COM2)\nCOM3 (COM3)"));

    rig.attachReader();   // on COM1: a scan that finds it says nothing of the others
    rig.click("btnScan");
    EXPECT_TRUE(rig.form.session().readerFound);
    EXPECT_EQ(rig.view.boxes.size(), 1u);
}

TEST(BusyBlink, TheTimerBlinksRedThenYellowAndItsPhaseCarriesOver)
{
    FormRig rig;
    rig.form.setBusy(true);
    EXPECT_EQ(rig.view.timers, (std::map<std::string, int>{{"tmrBusy", 200}}));
    EXPECT_FALSE(rig.view.enabled);
    std::vector<LampColour> ticks;
    for (int i = 0; i < 3; ++i) {
        rig.form.tmrBusyTimer();
        ticks.push_back(rig.view.lamp);
    }
    EXPECT_EQ(ticks, (std::vector<LampColour>{LampColour::red, LampColour::yellow, LampColour::red}));
    rig.form.setBusy(false);
    expectIdle(rig);
    rig.form.setBusy(true);
    rig.form.tmrBusyTimer();
    EXPECT_EQ(rig.view.lamp, LampColour::yellow);
}

TEST(Close, OnlyExitClosesTheWindow)
{
    FormRig rig;
    EXPECT_FALSE(rig.form.mayClose());
    rig.click("btnExit");
    EXPECT_TRUE(rig.form.mayClose());
    EXPECT_TRUE(rig.view.closed);
}

} // namespace
} // namespace tempik::testing
