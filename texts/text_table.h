#pragma once
// Every text of the window that changes with its language, in English, Simplified Chinese
// (held as GB2312 bytes) and Traditional Chinese (held as Big5 bytes), and the items of the
// reader display language list. Builds without any window toolkit.
#include <array>
#include <string>

namespace tempik {

enum UiLanguage : int { english = 0, simplifiedChinese = 1, traditionalChinese = 2 };
constexpr int uiLanguageCount = 3;

enum TextEntry : int {
    txtVendorLine = 0,
    txtWindowCaption = 1,
    txtStartScan = 2,          // "Start Scan Punch-card Reader!"
    txtId = 3,
    txtBaudRate = 4,
    txtExit = 5,
    txtSetDateTime = 6,
    txtTitleLabel = 7,
    txtIconTitle = 8,
    txtSetTitleText = 9,
    txtSetTitleMode = 10,
    txtOpenCom = 11,
    txtError = 12,
    txtScanReader = 13,
    txtSerialNumber = 14,      // "S/N"
    txtNo = 15,
    txtVersion = 16,           // "VER"
    txtScanCom = 17,
    txtReaderInfoOk = 18,      // "Get Reader Info Ok. (COM"
    txtReaderInfoError = 19,   // "Get Reader Info Error. (COM"
    txtReaderNotFound = 20,    // "Reader Not Find"
    txtSetId = 21,
    txtSetBaudRate = 22,
    txtSetMode = 23,
    txtSetLanguage = 24,
    txtSetPassword = 25,
    txtSetFactoryDefault = 26,
    txtSetBackLight = 27,
    txtShowWorkTime = 28,
    txtTitleMessage = 29,
    txtShowMessage = 30,
    txtInstallMessage = 31,
    txtPasswordLabel = 32,
    txtSoundLabel = 33,
    txtSetVolume = 34,
    txtSetIdleScreen = 35,
    txtSetOk = 36,
    txtSetError = 37,
};
constexpr int textEntryCount = 38;

// The cell as the table holds it: ASCII, GB2312 or Big5 bytes by column.
const std::string& textBytes(int entry, int uiLanguage);
// The same text as UTF-8, for the window and the command line.
std::string text(int entry, int uiLanguage);

// Constant texts of 128 and 16 spaces, for the fixed-width display texts.
const std::string& spaces128();
const std::string& spaces16();

// Items of the reader display language list in the given window language (UTF-8), always in
// the order English, Traditional Chinese, Simplified Chinese.
std::array<std::string, 3> displayLanguageItems(int uiLanguage);

// "English", "ChineseGB", "ChineseBIG5".
const char* languageFlagFor(int uiLanguage);
// Exact, case-sensitive: "ChineseGB" 1, "ChineseBIG5" 2, anything else 0.
int uiLanguageFromFlag(const std::string& languageFlag);

} // namespace tempik
