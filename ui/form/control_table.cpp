#include "ui/form/control_table.h"

#include "reader/control_values.h"
#include "texts/text_table.h"

#include <cstring>

namespace tempik {

namespace {
using K = ControlKind;
using S = ControlStyle;
namespace cv = controlValues;   // limits and starting values, shared with tempikctl and the tests
constexpr const char* noItems = nullptr;
constexpr const char* none = nullptr;

constexpr const char* baudRateItems =
    "4800,n,8,1|4800,e,8,1|9600,n,8,1|9600,e,8,1|19200,n,8,1|19200,e,8,1|38400,n,8,1|38400,e,8,1|"
    "57600,n,8,1|57600,e,8,1|115200,n,8,1|115200,e,8,1|230400,n,8,1|230400,e,8,1";
} // namespace

// clang-format off
const ControlRow controlTable[] = {
//   name                 kind              parent    left top  wid  hgt  entry                  text / suffix          style              tab    picture                         flags          items                                      value limit min step page
    {"frmModule",         K::form,          none,       0,   0, 712, 539, txtWindowCaption,     "",                    S::window,         noTab, "window_icon.svg",             noFlags,       noItems,                                   0,    0},
    {"btnScan",           K::pictureButton, none,       8,  78, 345,  43, txtScanReader,        "",                    S::window,         0,     "magnifier.svg",               defaultButton, noItems,                                   0,    0},
    {"pnSerial",          K::panel,         none,       8,  48, 169,  28, txtSerialNumber,      cv::pnSerial.text,     S::V,              5,     none,                           noFlags,       noItems,                                   0,    0},
    {"lblID",             K::label,         none,       8, 133,  65,  22, txtId,                ":",                   S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"sbID",              K::scrollBar,     none,     144, 131, 209,  23, noEntry,              "",                    S::window,         1,     none,                           noFlags,       noItems,                                   cv::sbID.position, cv::sbID.maximum, cv::sbID.minimum, cv::sbID.step, cv::sbID.page},
    {"btnID",             K::pictureButton, none,       8, 158, 345,  33, txtSetId,             "",                    S::window,         2,     "badge.svg",                   noFlags,       noItems,                                   0,    0},
    {"cmbBaudRate",       K::dropDown,      none,      24, 200, 155,  28, noEntry,              "",                    S::V,              3,     none,                           noFlags,       baudRateItems,                             cv::cmbBaudRate.selected, 0},
    {"btnBaudRate",       K::button,        none,     184, 198, 169,  33, txtSetBaudRate,       "",                    S::window,         4,     none,                           noFlags,       noItems,                                   0,    0},
    {"pnVersion",         K::panel,         none,     184,  48, 169,  28, txtVersion,           cv::pnVersion.text,    S::V,              6,     none,                           noFlags,       noItems,                                   0,    0},
    {"pnID",              K::panel,         none,      80, 130,  57,  25, noEntry,              cv::pnID.text,         S::V,              8,     none,                           noFlags,       noItems,                                   0,    0},
    {"pnMsg",             K::panel,         none,       8,   4, 697,  40, txtStartScan,         "",                    S::M,              9,     none,                           noFlags,       noItems,                                   0,    0},
    {"shComm",            K::shape,         "pnMsg",  662,   8,  23,  20, noEntry,              "",                    S::window,         noTab, none,                           noFlags,       noItems,                                   0,    0},
    {"tmrBusy",           K::timer,         none,       0,   0,   0,   0, noEntry,              "",                    S::window,         noTab, none,                           noFlags,       noItems,                                   0,  200},
    {"btnExit",           K::pictureButton, none,       8, 480, 345,  33, txtExit,              "",                    S::window,         7,     "close.svg",                   noFlags,       noItems,                                   0,    0},
    {"btnEng",            K::button,        none,     359, 480, 106,  33, noEntry,              "English",             S::englishButton,  10,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnGB",             K::pictureButton, none,     480, 480, 105,  33, noEntry,              "",                    S::languagePicture, 11,   "simplified.png",              noFlags,       noItems,                                   0,    0},
    {"btnBIG5",           K::pictureButton, none,     600, 480, 105,  33, noEntry,              "",                    S::languagePicture, 12,   "traditional.png",             noFlags,       noItems,                                   0,    0},
    {"pnKESTO",           K::panel,         none,       4, 517, 701,  21, txtVendorLine,        "",                    S::F,              13,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnDateTime",       K::button,        none,     536, 360, 169,  33, txtSetDateTime,       "",                    S::window,         14,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnFactoryDefault", K::button,        none,     360, 440, 345,  33, txtSetFactoryDefault, "",                    S::window,         15,    none,                           noFlags,       noItems,                                   0,    0},
    {"edTitle",           K::editBox,       none,     496,  96, 209,  28, noEntry,              cv::edTitle.text,      S::V,              16,    none,                           noFlags,       noItems,                                   0, cv::edTitle.limitBytes},
    {"lblTitle",          K::label,         none,     360, 101, 129,  22, txtTitleLabel,        "",                    S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"btnTitle",          K::button,        none,     360, 126, 305,  33, txtSetTitleText,      "",                    S::window,         17,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnTitleIcon",      K::button,        none,     624,  46,  81,  43, txtIconTitle,         "",                    S::window,         18,    none,                           noFlags,       noItems,                                   0,    0},
    {"odFile",            K::fileDialog,    none,       0,   0,   0,   0, noEntry,              "Icon files (*.ico)",  S::window,         noTab, none,                           noFlags,       noItems,                                   0,    0},
    {"cmbLanguage",       K::dropDown,      none,       8, 240, 169,  28, noEntry,              "",                    S::V,              19,    none,                           noFlags,       "English|Traditional Chinese|Simplified Chinese", cv::cmbLanguage.selected, 0},
    {"btnLanguage",       K::button,        none,     184, 238, 169,  33, txtSetLanguage,       "",                    S::window,         20,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnPassword",       K::button,        none,     184, 278, 169,  33, txtSetPassword,       "",                    S::window,         21,    none,                           noFlags,       noItems,                                   0,    0},
    {"edPassword",        K::editBox,       none,     119, 280,  58,  28, noEntry,              cv::edPassword.text,   S::V,              22,    none,                           noFlags,       noItems,                                   0, cv::edPassword.limitBytes},
    {"lblPassword",       K::label,         none,       8, 282, 105,  22, txtPasswordLabel,     "",                    S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"btnVolume",         K::button,        none,     184, 398, 169,  33, txtSetVolume,         "",                    S::window,         23,    none,                           noFlags,       noItems,                                   0,    0},
    {"cmbSound",          K::dropDown,      none,     128, 400,  49,  28, noEntry,              "",                    S::V,              24,    none,                           noFlags,       "0|1|2|3|4|5|6|7|8|9",                     cv::cmbSound.selected, 0},
    {"lblSound",          K::label,         none,       8, 403, 113,  22, txtSoundLabel,        "",                    S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"cmbHour",           K::dropDown,      none,     360, 360, 169,  28, noEntry,              "",                    S::V,              25,    none,                           noFlags,       "12H|24H",                                 cv::cmbHour.selected, 0},
    {"cmbCardType",       K::dropDown,      none,     360, 400, 169,  28, noEntry,              "",                    S::V,              26,    none,                           noFlags,       "32 bits Card|64 bits Card",               cv::cmbCardType.selected, 0},
    {"btnCardType",       K::button,        none,     536, 400, 169,  33, txtSetMode,           "",                    S::window,         27,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnTitleMessage",   K::button,        none,     536, 246, 129,  33, txtTitleMessage,      "",                    S::window,         28,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnShowMessage",    K::button,        none,     536, 302, 169,  33, txtShowMessage,       "",                    S::window,         29,    none,                           noFlags,       noItems,                                   0,    0},
    {"edBackLight",       K::editBox,       none,     119, 320,  58,  28, noEntry,              cv::edBackLight.text,  S::V,              30,    none,                           noFlags,       noItems,                                   0, cv::edBackLight.limitBytes},
    {"btnBackLight",      K::button,        none,     184, 318, 169,  33, txtSetBackLight,      "",                    S::window,         31,    none,                           noFlags,       noItems,                                   0,    0},
    {"lblBackLight",      K::label,         none,       8, 322, 105,  22, noEntry,              "000-250 ",            S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"btnInstall",        K::button,        none,     536, 166, 129,  33, txtInstallMessage,    "",                    S::window,         32,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnClrTitle",       K::pictureButton, none,     672, 246,  33,  33, noEntry,              "",                    S::window,         33,    "eraser.svg",                  noFlags,       noItems,                                   0,    0},
    {"btnClrInstall",     K::pictureButton, none,     672, 166,  33,  33, noEntry,              "",                    S::window,         34,    "eraser.svg",                  noFlags,       noItems,                                   0,    0},
    {"cmbTitle",          K::dropDown,      none,     360, 208, 169,  28, noEntry,              "",                    S::V,              35,    none,                           noFlags,       "No Title|Text Title|Text & Icon Title",   cv::cmbTitle.selected, 0},
    {"pnIcon",            K::panel,         none,     355,  48, 268,  44, noEntry,              "",                    S::framed,         36,    none,                           noFlags,       noItems,                                   0,    0},
    {"imgTitle",          K::image,         "pnIcon",   3,   1, 258,  36, noEntry,              "",                    S::window,         noTab, none,                           noFlags,       noItems,                                   0,    0},
    {"btnSetTitleMode",   K::button,        none,     536, 206, 169,  33, txtSetTitleMode,      "",                    S::window,         37,    none,                           noFlags,       noItems,                                   0,    0},
    {"btnTitleClear",     K::pictureButton, none,     671, 126,  33,  33, noEntry,              "",                    S::window,         38,    "eraser.svg",                  noFlags,       noItems,                                   0,    0},
    {"lblWork",           K::label,         none,       8, 362, 105,  22, noEntry,              "001-250 ",            S::window,         noTab, none,                           rightAligned,  noItems,                                   0,    0},
    {"edWork",            K::editBox,       none,     119, 360,  58,  28, noEntry,              cv::edWork.text,       S::V,              39,    none,                           noFlags,       noItems,                                   0, cv::edWork.limitBytes},
    {"btnWorkMode",       K::button,        none,     184, 358, 169,  33, txtShowWorkTime,      "",                    S::window,         40,    none,                           noFlags,       noItems,                                   0,    0},
    {"chkLock",           K::checkBox,      none,       8, 204,  17,  17, noEntry,              "",                    S::window,         41,    none,                           noFlags,       noItems,                                   cv::chkLock.ticked, 0},
    {"edInstall",         K::editBox,       none,     359, 168, 170,  28, noEntry,              cv::edInstall.text,    S::V,              42,    none,                           noFlags,       noItems,                                   0, cv::edInstall.limitBytes},
    {"edMessage",         K::editBox,       none,     359, 248, 170,  28, noEntry,              cv::edMessage.text,    S::V,              43,    none,                           noFlags,       noItems,                                   0, cv::edMessage.limitBytes},
    {"edShow",            K::editBox,       none,     359, 304, 170,  28, noEntry,              cv::edShow.text,       S::V,              44,    none,                           noFlags,       noItems,                                   0, cv::edShow.limitBytes},
    {"cmbIdle",           K::dropDown,      none,       8, 440, 169,  28, noEntry,              "",                    S::V,              45,    none,                           noFlags,       "Date & Time|Only Time",                   cv::cmbIdle.selected, 0},
    {"btnIdle",           K::button,        none,     183, 440, 169,  33, txtSetIdleScreen,     "",                    S::window,         46,    none,                           noFlags,       noItems,                                   0,    0},
};
// clang-format on

const size_t controlCount = sizeof(controlTable) / sizeof(controlTable[0]);

const char* const formShowOrder[] = {
    "frmModule",   "pnKESTO",      "pnMsg",          "pnSerial",       "pnVersion",    "lblID",
    "btnScan",     "btnID",        "btnBaudRate",    "btnFactoryDefault", "btnExit",   "btnDateTime",
    "btnTitle",    "lblTitle",     "btnTitleIcon",   "btnLanguage",    "lblPassword",  "btnPassword",
    "lblSound",    "btnVolume",    "btnCardType",    "btnBackLight",   "btnTitleMessage", "btnShowMessage",
    "btnInstall",  "btnSetTitleMode", "btnWorkMode", "btnIdle",
};
const size_t formShowCount = sizeof(formShowOrder) / sizeof(formShowOrder[0]);

const ControlRow* findControl(const char* name)
{
    for (size_t i = 0; i < controlCount; ++i) {
        if (std::strcmp(controlTable[i].name, name) == 0)
            return &controlTable[i];
    }
    return nullptr;
}

} // namespace tempik
