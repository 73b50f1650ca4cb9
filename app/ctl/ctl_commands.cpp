#include "app/ctl/ctl_commands.h"

#include "app/ctl/ctl_request.h"
#include "reader/control_values.h"
#include "reader/icon_title.h"
#include "texts/code_page.h"

#include <cstdlib>
#include <map>

namespace tempik::ctl {

namespace {

using Ops = ReaderOperations;
namespace cv = controlValues;

int choose(const std::string& argument, const std::map<std::string, int>& choices, const char* what)
{
    if (auto found = choices.find(argument); found != choices.end())
        return found->second;
    std::string names;
    for (const auto& [name, index] : choices)
        names += std::string(names.empty() ? "" : ", ") + name;
    throw UsageError{std::string(what) + " must be one of " + names + ", not \"" + argument + "\""};
}

// What the edit box of the window would hold (fitsEditBox); a refusal says why.
std::string editBoxText(const std::string& text, const cv::EditBox& box, int uiLanguage, const char* what)
{
    if (fitsEditBox(text, box.limitBytes, uiLanguage))
        return text;
    if (hasControlCharacter(text))
        throw UsageError{std::string(what) + " must not contain control characters"};
    if (!codePageHolds(text, uiLanguage))
        throw UsageError{std::string(what) + " holds a character that code page " + codePageName(uiLanguage) + " lacks"};
    throw UsageError{std::string(what) + " is " + std::to_string(codePageLength(text, uiLanguage)) +
                     " bytes in code page " + codePageName(uiLanguage) + "; at most " +
                     std::to_string(box.limitBytes) + " fit"};
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

void none(const std::string&, CtlControls&, int) {}

void setId(const std::string& argument, CtlControls& controls, int)
{
    if (argument.empty() || argument.size() > 4 || argument.find_first_not_of("0123456789") != std::string::npos ||
        std::atoi(argument.c_str()) < cv::sbID.minimum || std::atoi(argument.c_str()) > cv::sbID.maximum)
        throw UsageError{"the identifier must be a number from " + identifierRange() + ", not \"" + argument + "\""};
    controls.idPosition = std::atoi(argument.c_str());
    controls.idCaption = ReaderOperations::sbIDChange(controls.idPosition);
}

void setBaud(const std::string& argument, CtlControls& controls, int)
{
    controls.baudRate = parseLineArgument(argument);
}

void setLanguage(const std::string& argument, CtlControls& controls, int)
{
    controls.language = choose(argument, {{"english", 0}, {"traditional", 1}, {"simplified", 2}}, "the language");
}

void setPassword(const std::string& a, CtlControls& c, int l) { c.password = editBoxText(a, cv::edPassword, l, "the password"); }
// The range the window shows beside the box ("000-250 "): a number of at most the box's digits.
std::string inRange(const std::string& text, const cv::EditBox& box, int low, int high, const char* what)
{
    const bool digits = !text.empty() && text.size() <= static_cast<size_t>(box.limitBytes) &&
                        text.find_first_not_of("0123456789") == std::string::npos;
    if (!digits || std::atoi(text.c_str()) < low || std::atoi(text.c_str()) > high)
        throw UsageError{std::string(what) + " must be a number from " + std::to_string(low) + " to " +
                         std::to_string(high) + ", not \"" + text + "\""};
    return text;
}

void setBackLight(const std::string& a, CtlControls& c, int) { c.backLight = inRange(a, cv::edBackLight, 0, 250, "the backlight value"); }
void setWork(const std::string& a, CtlControls& c, int) { c.work = inRange(a, cv::edWork, 1, 250, "the work time value"); }
void setTitle(const std::string& a, CtlControls& c, int l) { c.title = editBoxText(a, cv::edTitle, l, "the title text"); }
void setInstall(const std::string& a, CtlControls& c, int l) { c.install = editBoxText(a, cv::edInstall, l, "the install message"); }
void setMessage(const std::string& a, CtlControls& c, int l) { c.titleMessage = editBoxText(a, cv::edMessage, l, "the title message"); }
void setShow(const std::string& a, CtlControls& c, int l) { c.show = editBoxText(a, cv::edShow, l, "the message"); }

void setVolume(const std::string& argument, CtlControls& controls, int)
{
    if (argument.size() != 1 || argument[0] < '0' || argument[0] > '9')
        throw UsageError{"the volume must be a digit from 0 to 9, not \"" + argument + "\""};
    controls.sound = argument[0] - '0';
}

void setCardType(const std::string& argument, CtlControls& controls, int)
{
    controls.cardType = choose(argument, {{"32", 0}, {"64", 1}}, "the card type");
}

void setIdle(const std::string& argument, CtlControls& controls, int)
{
    controls.idle = choose(argument, {{"date-time", 0}, {"time", 1}}, "the idle screen");
}

void setTitleMode(const std::string& argument, CtlControls& controls, int)
{
    controls.titleMode = choose(argument, {{"none", 0}, {"text", 1}, {"text-icon", 2}}, "the title mode");
}

void setIcon(const std::string& argument, CtlControls& controls, int)
{
    // The operation's own reading, so what passes here is what the upload can read.
    if (!readIconSource(argument))
        throw UsageError{"cannot open the icon file \"" + argument + "\" (it must be a regular file)"};
    controls.iconFile = argument;
}

} // namespace

const std::vector<CommandEntry>& commandTable()
{
    static const std::vector<CommandEntry> table = {
        {"scan", nullptr, "find the reader: remembered port first, then ports 1-32", none, nullptr},
        {"settings", nullptr, "print the four remembered settings", none, nullptr},
        {"ports", nullptr, "list the ports: device, what it is, whether it can be opened", none, nullptr},
        {"readers", nullptr, "list the readers --all found: port, device, line, serial, identifier, version, time",
         none, nullptr},
        {"set-id", "NNNN", "set the reader's identifier, " + identifierRange(), setId, &Ops::btnIDClick},
        {"set-baud", "DEF", "set the reader's line definition (one of 14, or its index)", setBaud,
         &Ops::btnBaudRateClick},
        {"factory-default", nullptr, "reset the reader to its factory defaults", none, &Ops::btnFactoryDefaultClick},
        {"set-time", nullptr, "set the reader's clock to this PC's, and the 12/24H display", none,
         &Ops::btnDateTimeClick},
        {"set-language", "LANG", "display language: english, traditional or simplified", setLanguage,
         &Ops::btnLanguageClick},
        {"set-password", "TEXT", "keypad password (at most " + bytesOf(cv::edPassword) + ")", setPassword,
         &Ops::btnPasswordClick},
        {"set-volume", "0-9", "key sound volume", setVolume, &Ops::btnVolumeClick},
        {"set-card-type", "32|64", "card type, 32 or 64 bits", setCardType, &Ops::btnCardTypeClick},
        {"set-backlight", "TEXT", "backlight value, 000-250 (at most " + bytesOf(cv::edBackLight) + ")", setBackLight,
         &Ops::btnBackLightClick},
        {"set-work-time", "TEXT", "work time display value, 001-250 (at most " + bytesOf(cv::edWork) + ")", setWork,
         &Ops::btnWorkModeClick},
        {"set-idle", "date-time|time", "idle screen", setIdle, &Ops::btnIdleClick},
        {"set-title-mode", "none|text|text-icon", "title mode", setTitleMode, &Ops::btnSetTitleModeClick},
        {"set-title", "TEXT", "title text (" + bytesOf(cv::edTitle) + "), then title mode \"text\"", setTitle,
         &Ops::btnTitleClick},
        {"clear-title", nullptr, "blank the title text", none, &Ops::btnTitleClearClick},
        {"set-install", "TEXT", "install message (" + bytesOf(cv::edInstall) + ")", setInstall,
         &Ops::btnInstallClick},
        {"clear-install", nullptr, "blank the install message", none, &Ops::btnClrInstallClick},
        {"set-message", "TEXT", "title message (" + bytesOf(cv::edMessage) + ")", setMessage,
         &Ops::btnTitleMessageClick},
        {"clear-message", nullptr, "blank the title message", none, &Ops::btnClrTitleClick},
        {"show-message", "TEXT", "show a message on the display (" + bytesOf(cv::edShow) + ")", setShow,
         &Ops::btnShowMessageClick},
        {"set-icon", "FILE", "send a 128 x 16, 1-bit icon file as the graphic title", setIcon,
         &Ops::btnTitleIconClick},
    };
    return table;
}

const CommandEntry* findCommand(const std::string& name)
{
    for (const CommandEntry& entry : commandTable())
        if (name == entry.name)
            return &entry;
    return nullptr;
}

} // namespace tempik::ctl
