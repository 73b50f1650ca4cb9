#include "reader/operation_table.h"

#include "link/line_definition.h"
#include "reader/control_values.h"
#include "reader/icon_title.h"
#include "texts/code_page.h"

#include <cstdlib>
#include <utility>

namespace tempik {

namespace {

using Ops = ReaderOperations;
namespace cv = controlValues;

// The index of argument among choices, as a drop-down list would select it.
int choose(const std::string& argument, const std::vector<std::string>& choices, const char* what)
{
    std::string names;
    for (size_t index = 0; index < choices.size(); ++index) {
        if (argument == choices[index])
            return static_cast<int>(index);
        names += (names.empty() ? "" : ", ") + choices[index];
    }
    throw ValueRefused{std::string(what) + " must be one of " + names + ", not \"" + argument + "\""};
}

// What the edit box of the window would hold (fitsEditBox); a refusal says why.
std::string editBoxText(const std::string& text, const cv::EditBox& box, int uiLanguage, const char* what)
{
    if (fitsEditBox(text, box.limitBytes, uiLanguage))
        return text;
    if (hasControlCharacter(text))
        throw ValueRefused{std::string(what) + " must not contain control characters"};
    if (!codePageHolds(text, uiLanguage))
        throw ValueRefused{std::string(what) + " holds a character that code page " + codePageName(uiLanguage) + " lacks"};
    throw ValueRefused{std::string(what) + " is " + std::to_string(codePageLength(text, uiLanguage)) +
                       " bytes in code page " + codePageName(uiLanguage) + "; at most " +
                       std::to_string(box.limitBytes) + " fit"};
}

// The range the window shows beside the box ("000-250 "): a number of at most the box's digits.
std::string inRange(const std::string& text, const cv::EditBox& box, int low, int high, const char* what)
{
    const bool digits = !text.empty() && text.size() <= box.limitBytes &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::atoi(text.c_str()) < low || std::atoi(text.c_str()) > high)
        throw ValueRefused{std::string(what) + " must be a number from " + std::to_string(low) + " to " +
                           std::to_string(high) + ", not \"" + text + "\""};
    return text;
}

// "16 bytes", for the help.
std::string bytesOf(const cv::EditBox& box)
{
    return std::to_string(box.limitBytes) + " bytes";
}

// "1 to 9999": what the identifier scroll bar allows.
std::string identifierRange()
{
    return std::to_string(cv::sbID.minimum) + " to " + std::to_string(cv::sbID.maximum);
}

const std::vector<std::string> languages{"english", "traditional", "simplified"};
const std::vector<std::string> hours{"12h", "24h"};
const std::vector<std::string> cardTypes{"32", "64"};
const std::vector<std::string> idleScreens{"date-time", "time"};
const std::vector<std::string> titleModes{"none", "text", "text-icon"};

std::vector<std::string> lineChoices()
{
    return std::vector<std::string>(std::begin(lineDefinitions), std::end(lineDefinitions));
}

void none(const std::string&, ValueControls&, int) {}

void takeId(const std::string& value, ValueControls& controls, int)
{
    if (value.empty() || value.size() > 4 || value.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(value.c_str()) < cv::sbID.minimum || std::atoi(value.c_str()) > cv::sbID.maximum)
        throw ValueRefused{"the identifier must be a number from " + identifierRange() + ", not \"" + value + "\""};
    controls.idPosition = std::atoi(value.c_str());
    controls.idCaption = ReaderOperations::sbIDChange(controls.idPosition);
}

void takeBaud(const std::string& v, ValueControls& c, int) { c.baudRate = lineDefinitionArgument(v); }
void takeHour(const std::string& v, ValueControls& c, int) { c.hour = choose(v, hours, "the hour display"); }
void takeLanguage(const std::string& v, ValueControls& c, int) { c.language = choose(v, languages, "the language"); }
void takePassword(const std::string& v, ValueControls& c, int l) { c.password = editBoxText(v, cv::edPassword, l, "the password"); }
void takeBackLight(const std::string& v, ValueControls& c, int) { c.backLight = inRange(v, cv::edBackLight, 0, 250, "the backlight value"); }
void takeWork(const std::string& v, ValueControls& c, int) { c.work = inRange(v, cv::edWork, 1, 250, "the work time value"); }
void takeTitle(const std::string& v, ValueControls& c, int l) { c.title = editBoxText(v, cv::edTitle, l, "the title text"); }
void takeInstall(const std::string& v, ValueControls& c, int l) { c.install = editBoxText(v, cv::edInstall, l, "the install message"); }
void takeMessage(const std::string& v, ValueControls& c, int l) { c.titleMessage = editBoxText(v, cv::edMessage, l, "the title message"); }
void takeShow(const std::string& v, ValueControls& c, int l) { c.show = editBoxText(v, cv::edShow, l, "the message"); }
void takeCardType(const std::string& v, ValueControls& c, int) { c.cardType = choose(v, cardTypes, "the card type"); }
void takeIdle(const std::string& v, ValueControls& c, int) { c.idle = choose(v, idleScreens, "the idle screen"); }
void takeTitleMode(const std::string& v, ValueControls& c, int) { c.titleMode = choose(v, titleModes, "the title mode"); }

void takeVolume(const std::string& value, ValueControls& controls, int)
{
    if (value.size() != 1 || value[0] < '0' || value[0] > '9')
        throw ValueRefused{"the volume must be a digit from 0 to 9, not \"" + value + "\""};
    controls.sound = value[0] - '0';
}

void takeIcon(const std::string& value, ValueControls& controls, int)
{
    // The operation's own reading, so what passes here is what the upload can read.
    if (!readIconSource(value))
        throw ValueRefused{"cannot open the icon file \"" + value + "\" (it must be a regular file)"};
    controls.iconFile = value;
}

} // namespace

int lineDefinitionArgument(const std::string& text)
{
    const int index = lineDefinitionIndexOf(text);
    if (index >= 0)
        return index;
    if (!text.empty() && text.size() <= 2 && text.find_first_not_of("0123456789") == std::string::npos &&
        std::atoi(text.c_str()) < lineDefinitionCount)
        return std::atoi(text.c_str());
    std::string known;
    for (const char* definition : lineDefinitions)
        known += std::string(known.empty() ? "" : ", ") + definition;
    throw ValueRefused{"unknown line definition \"" + text + "\"; use one of " + known + " or its index 0-13"};
}

const std::vector<OperationRow>& operationTable()
{
    using F = ValueFrom;
    static const std::vector<OperationRow> table = {
        {"set-id", "btnID", "sbID", F::argument, "NNNN", nullptr,
         "set the reader's identifier, " + identifierRange(), takeId, &Ops::btnIDClick, {}},
        {"set-baud", "btnBaudRate", "cmbBaudRate", F::argument, "DEF", "baud",
         "set the reader's line definition (one of 14, or its index)", takeBaud, &Ops::btnBaudRateClick,
         lineChoices()},
        {"factory-default", "btnFactoryDefault", nullptr, F::none, nullptr, "factory-default",
         "reset the reader to its factory defaults", none, &Ops::btnFactoryDefaultClick, {}},
        {"set-time", "btnDateTime", "cmbHour", F::option, "12h|24h", "time",
         "set the reader's clock to this PC's, and the 12/24H display", takeHour, &Ops::btnDateTimeClick, hours},
        {"set-language", "btnLanguage", "cmbLanguage", F::argument, "LANG", "language",
         "display language: english, traditional or simplified", takeLanguage, &Ops::btnLanguageClick, languages},
        {"set-password", "btnPassword", "edPassword", F::argument, "TEXT", "password",
         "keypad password (at most " + bytesOf(cv::edPassword) + ")", takePassword, &Ops::btnPasswordClick, {}},
        {"set-volume", "btnVolume", "cmbSound", F::argument, "0-9", "volume", "key sound volume", takeVolume,
         &Ops::btnVolumeClick, {}},
        {"set-card-type", "btnCardType", "cmbCardType", F::argument, "32|64", "card-type", "card type, 32 or 64 bits",
         takeCardType, &Ops::btnCardTypeClick, cardTypes},
        {"set-backlight", "btnBackLight", "edBackLight", F::argument, "TEXT", "backlight",
         "backlight value, 000-250 (at most " + bytesOf(cv::edBackLight) + ")", takeBackLight,
         &Ops::btnBackLightClick, {}},
        {"set-work-time", "btnWorkMode", "edWork", F::argument, "TEXT", "work-time",
         "work time display value, 001-250 (at most " + bytesOf(cv::edWork) + ")", takeWork, &Ops::btnWorkModeClick,
         {}},
        {"set-idle", "btnIdle", "cmbIdle", F::argument, "date-time|time", "idle", "idle screen", takeIdle,
         &Ops::btnIdleClick, idleScreens},
        {"set-title-mode", "btnSetTitleMode", "cmbTitle", F::argument, "none|text|text-icon", "title-mode",
         "title mode", takeTitleMode, &Ops::btnSetTitleModeClick, titleModes},
        {"set-title", "btnTitle", "edTitle", F::argument, "TEXT", "title",
         "title text (" + bytesOf(cv::edTitle) + "), then title mode \"text\"", takeTitle, &Ops::btnTitleClick, {}},
        {"clear-title", "btnTitleClear", nullptr, F::none, nullptr, nullptr, "blank the title text", none,
         &Ops::btnTitleClearClick, {}},
        {"set-install", "btnInstall", "edInstall", F::argument, "TEXT", "install",
         "install message (" + bytesOf(cv::edInstall) + ")", takeInstall, &Ops::btnInstallClick, {}},
        {"clear-install", "btnClrInstall", nullptr, F::none, nullptr, nullptr, "blank the install message", none,
         &Ops::btnClrInstallClick, {}},
        {"set-message", "btnTitleMessage", "edMessage", F::argument, "TEXT", "message",
         "title message (" + bytesOf(cv::edMessage) + ")", takeMessage, &Ops::btnTitleMessageClick, {}},
        {"clear-message", "btnClrTitle", nullptr, F::none, nullptr, nullptr, "blank the title message", none,
         &Ops::btnClrTitleClick, {}},
        {"show-message", "btnShowMessage", "edShow", F::argument, "TEXT", nullptr,
         "show a message on the display (" + bytesOf(cv::edShow) + ")", takeShow, &Ops::btnShowMessageClick, {}},
        {"set-icon", "btnTitleIcon", nullptr, F::argument, "FILE", "icon",
         "send a 128 x 16, 1-bit icon file as the graphic title", takeIcon, &Ops::btnTitleIconClick, {}},
    };
    return table;
}

const OperationRow* findOperation(const std::string& command)
{
    for (const OperationRow& row : operationTable())
        if (command == row.command)
            return &row;
    return nullptr;
}

bool movesReaderLine(const OperationRow& row)
{
    return row.operation == &ReaderOperations::btnBaudRateClick
           || row.operation == &ReaderOperations::btnFactoryDefaultClick;
}

} // namespace tempik
