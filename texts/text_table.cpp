// The window's texts in three languages. The Chinese columns are held as GB2312 and Big5
// bytes; the window and the command line get them converted to UTF-8.
#include "texts/text_table.h"

#include "texts/code_page.h"

namespace tempik {

namespace {

// Source encoding of each column, as iconv names it.
struct Row {
    const char* cell[uiLanguageCount];
};

// English, Simplified Chinese (GB2312), Traditional Chinese (Big5). Every accelerator of a
// language is a letter of its own: two buttons on one letter would only move the focus between
// them, so "Set Idle Screen" takes C (I is "Set ID") and, in Chinese, BackLight takes K (B is
// BaudRate there).
constexpr Row textRows[textEntryCount] = {
    {{"KESTO Co., Ltd.   www.kesto.example",
      "\xbf\xad\xcb\xb9\xcd\xd0\xd3\xd0\xcf\xde\xb9\xab\xcb\xbe   www.kesto.example",
      "\xb3\xcd\xb4\xb5\xa6\xab\xa6\xb3\xad\xad\xa4\xbd\xa5\x71   www.kesto.example"}}, // 0
    {{"KESTO TEMPIK Punch-card Reader Config V1.40-01",
      "KESTO TEMPIK-1 \xb4\xf2\xbf\xa8\xd6\xd3\xc9\xe8\xb6\xa8\xb3\xcc\xca\xbd V1.40-01",
      "KESTO TEMPIK-1 \xa5\xb4\xa5\x64\xc4\xc1\xb3\x5d\xa9\x77\xb5\x7b\xa6\xa1 V1.40-01"}}, // 1
    {{"Start Scan Punch-card Reader!",
      "\xc7\xeb\xcf\xc8\xc9\xa8\xc3\xe8\xb4\xf2\xbf\xa8\xd6\xd3!",
      "\xbd\xd0\xa5\xfd\xb1\xbd\xb4\x79\xa5\xb4\xa5\x64\xc4\xc1!"}}, // 2
    {{"ID",
      "\xca\xb6\xb1\xf0\xc2\xeb",
      "\xc3\xd1\xa7\x4f\xbd\x58"}}, // 3
    {{"BaudRate",
      "\xcd\xa8\xd1\xb6\xcb\xd9\xb6\xc8",
      "\xb3\x71\xb0\x54\xb3\x74\xab\xd7"}}, // 4
    {{"&Exit",
      "\xbd\xe1\xca\xf8(&E)",
      "\xb5\xb2\xa7\xf4(&E)"}}, // 5
    {{"Set &Date Time",
      "\xc9\xe8\xb6\xa8\xc8\xd5\xc6\xda\xca\xb1\xbc\xe4(&D)",
      "\xb3\x5d\xa9\x77\xa4\xe9\xb4\xc1\xae\xc9\xb6\xa1(&D)"}}, // 6
    {{"Title:",
      "\xb1\xea\xcc\xe2\xc1\xd0:",
      "\xbc\xd0\xc3\x44\xa6\x43:"}}, // 7
    {{"Icon Title",
      "\xcd\xbc\xd0\xce\xb1\xea\xcc\xe2",
      "\xb9\xcf\xa7\xce\xbc\xd0\xc3\x44"}}, // 8
    {{"Set Title Text",
      "\xc9\xe8\xb6\xa8\xb1\xea\xcc\xe2\xce\xc4\xd7\xd6",
      "\xb3\x5d\xa9\x77\xbc\xd0\xc3\x44\xa4\xe5\xa6\x72"}}, // 9
    {{"Set Title Mode",
      "\xc9\xe8\xb6\xa8\xb1\xea\xcc\xe2\xc4\xa3\xca\xbd",
      "\xb3\x5d\xa9\x77\xbc\xd0\xc3\x44\xbc\xd2\xa6\xa1"}}, // 10
    {{"Open COM",
      "\xbf\xaa\xc6\xf4\xb4\xae\xbf\xda",
      "\xb6\x7d\xb1\xd2\xa6\xea\xa4\x66"}}, // 11
    {{"Error",
      "\xb4\xed\xce\xf3",
      "\xbf\xf9\xbb\x7e"}}, // 12
    {{"&Scan Punch-card Reader",
      "\xc9\xa8\xc3\xe8\xb4\xf2\xbf\xa8\xd6\xd3(&S)",
      "\xb1\xbd\xb4\x79\xa5\xb4\xa5\x64\xc4\xc1(&S)"}}, // 13
    {{"S/N",
      "\xd0\xf2\xba\xc5",
      "\xa7\xc7\xb8\xb9"}}, // 14
    {{"No",
      "\xc1\xf7\xcb\xae\xba\xc5",
      "\xac\x79\xa4\xf4\xb8\xb9"}}, // 15
    {{"VER",
      "\xb0\xe6\xb1\xbe",
      "\xaa\xa9\xa5\xbb"}}, // 16
    {{"Scan COM",
      "\xc9\xa8\xc3\xe8\xb4\xae\xbf\xda",
      "\xb1\xbd\xb4\x79\xa6\xea\xa4\x66"}}, // 17
    {{"Get Reader Info Ok. (COM",
      "\xb6\xc1\xc8\xa1\xb4\xf2\xbf\xa8\xd6\xd3\xd7\xca\xd1\xb6\xcd\xea\xb3\xc9. (\xb4\xae\xbf\xda",
      "\xc5\xaa\xa8\xfa\xa5\xb4\xa5\x64\xc4\xc1\xb8\xea\xb0\x54\xa7\xb9\xa6\xa8. (\xa6\xea\xa4\x66"}}, // 18
    {{"Get Reader Info Error. (COM",
      "\xb6\xc1\xc8\xa1\xb4\xf2\xbf\xa8\xd6\xd3\xd7\xca\xd1\xb6\xb4\xed\xce\xf3. (\xb4\xae\xbf\xda",
      "\xc5\xaa\xa8\xfa\xa5\xb4\xa5\x64\xc4\xc1\xb8\xea\xb0\x54\xbf\xf9\xbb\x7e. (\xa6\xea\xa4\x66"}}, // 19
    {{"Reader Not Find",
      "\xb4\xf2\xbf\xa8\xd6\xd3\xc3\xbb\xd3\xd0\xc1\xac\xcf\xdf",
      "\xa5\xb4\xa5\x64\xc4\xc1\xa8\x53\xa6\xb3\xb3\x73\xbd\x75"}}, // 20
    {{"Set &ID",
      "\xc9\xe8\xb6\xa8\xca\xb6\xb1\xf0\xc2\xeb(&I)",
      "\xb3\x5d\xa9\x77\xc3\xd1\xa7\x4f\xbd\x58(&I)"}}, // 21
    {{"Set BaudRate",
      "\xc9\xe8\xb6\xa8\xcd\xa8\xd1\xb6\xcb\xd9\xb6\xc8(&B)",
      "\xb3\x5d\xa9\x77\xb3\x71\xb0\x54\xb3\x74\xab\xd7(&B)"}}, // 22
    {{"Set &Mode",
      "\xc9\xe8\xb6\xa8\xc4\xa3\xca\xbd(&M)",
      "\xb3\x5d\xa9\x77\xbc\xd2\xa6\xa1(&M)"}}, // 23
    {{"Set &Language",
      "\xc9\xe8\xb6\xa8\xd3\xef\xd1\xd4(&L)",
      "\xb3\x5d\xa9\x77\xbb\x79\xa8\xa5(&L)"}}, // 24
    {{"Set &Password",
      "\xc9\xe8\xb6\xa8\xc3\xdc\xc2\xeb(&P)",
      "\xb3\x5d\xa9\x77\xb1\x4b\xbd\x58(&P)"}}, // 25
    {{"Set &Factory Default",
      "\xc9\xe8\xb6\xa8\xb3\xf6\xb3\xa7\xd4\xa4\xc9\xe8\xd6\xb5(&F)",
      "\xb3\x5d\xa9\x77\xa5\x58\xbc\x74\xb9\x77\xb3\x5d\xad\xc8(&F)"}}, // 26
    {{"Set &BackLight",
      "\xc9\xe8\xb6\xa8\xb1\xb3\xb9\xe2(&K)",
      "\xb3\x5d\xa9\x77\xad\x49\xa5\xfa(&K)"}}, // 27
    {{"Show Work Time",
      "\xb9\xa4\xd7\xf7\xcf\xd4\xca\xbe\xca\xb1\xbc\xe4",
      "\xa4\x75\xa7\x40\xc5\xe3\xa5\xdc\xae\xc9\xb6\xa1"}}, // 28
    {{"Title Message",
      "\xc9\xe8\xb6\xa8\xd1\xb6\xcf\xa2",
      "\xb3\x5d\xa9\x77\xb0\x54\xae\xa7"}}, // 29
    {{"Show Message",
      "\xcf\xd4\xca\xbe\xbc\xf2\xd1\xb6",
      "\xc5\xe3\xa5\xdc\xc2\xb2\xb0\x54"}}, // 30
    {{"Install Message",
      "\xb0\xb2\xd7\xb0\xce\xbb\xd6\xc3",
      "\xa6\x77\xb8\xcb\xa6\xec\xb8\x6d"}}, // 31
    {{"Password:",
      "\xc3\xdc\xc2\xeb:",
      "\xb1\x4b\xbd\x58:"}}, // 32
    {{"Sound:",
      "\xb0\xb4\xbc\xfc\xc9\xf9:",
      "\xab\xf6\xc1\xe4\xc1\x6e:"}}, // 33
    {{"Set &Volume",
      "\xc9\xe8\xb6\xa8\xd2\xf4\xc1\xbf(&V)",
      "\xb3\x5d\xa9\x77\xad\xb5\xb6\x71(&V)"}}, // 34
    {{"Set Idle S&creen",
      "\xc9\xe8\xb6\xa8\xcf\xd0\xd6\xc3\xbb\xad\xc3\xe6(&C)",
      "\xb3\x5d\xa9\x77\xb6\xa2\xb8\x6d\xb5\x65\xad\xb1(&C)"}}, // 35
    {{"Set Ok",
      "\xc9\xe8\xb6\xa8\xcd\xea\xb3\xc9",
      "\xb3\x5d\xa9\x77\xa7\xb9\xa6\xa8"}}, // 36
    {{"Set Error",
      "\xc9\xe8\xb6\xa8\xb4\xed\xce\xf3",
      "\xb3\x5d\xa9\x77\xbf\xf9\xbb\x7e"}}, // 37
};

// Items of the reader display language list: English, Traditional Chinese, Simplified Chinese.
constexpr Row displayLanguageRows[3] = {
    {{"English", "\xd3\xa2\xce\xc4", "\xad\x5e\xa4\xe5"}},
    {{"Traditional Chinese", "\xd6\xd0\xce\xc4\xb7\xb1\xcc\xe5", "\xa4\xa4\xa4\xe5\xc1\x63\xc5\xe9"}},
    {{"Simplified Chinese", "\xd6\xd0\xce\xc4\xbc\xf2\xcc\xe5", "\xa4\xa4\xa4\xe5\xc2\xb2\xc5\xe9"}},
};

bool validLanguage(int uiLanguage) { return uiLanguage >= 0 && uiLanguage < uiLanguageCount; }

using Cells = std::array<std::array<std::string, uiLanguageCount>, textEntryCount>;

const Cells& cells()
{
    static const Cells table = [] {
        Cells built;
        for (int entry = 0; entry < textEntryCount; ++entry)
            for (int language = 0; language < uiLanguageCount; ++language)
                built[entry][language] = textRows[entry].cell[language];
        return built;
    }();
    return table;
}

} // namespace

const std::string& textBytes(int entry, int uiLanguage)
{
    // A bad index from a caller gives an empty text rather than a read past the table.
    static const std::string none;
    if (entry < 0 || entry >= textEntryCount || !validLanguage(uiLanguage))
        return none;
    return cells()[entry][uiLanguage];
}

std::string text(int entry, int uiLanguage)
{
    if (!validLanguage(uiLanguage))
        return {};
    // GBK holds GB2312 and CP950 holds Big5: each column reads as its language's code page.
    return fromCodePage(textBytes(entry, uiLanguage), uiLanguage);
}

const std::string& spaces128()
{
    static const std::string spaces(128, ' ');
    return spaces;
}

const std::string& spaces16()
{
    static const std::string spaces(16, ' ');
    return spaces;
}

std::array<std::string, 3> displayLanguageItems(int uiLanguage)
{
    if (!validLanguage(uiLanguage))
        uiLanguage = english;
    std::array<std::string, 3> items;
    for (int item = 0; item < 3; ++item)
        items[item] = fromCodePage(displayLanguageRows[item].cell[uiLanguage], uiLanguage);
    return items;
}

const char* languageFlagFor(int uiLanguage)
{
    switch (uiLanguage) {
    case simplifiedChinese: return "ChineseGB";
    case traditionalChinese: return "ChineseBIG5";
    default: return "English";
    }
}

int uiLanguageFromFlag(const std::string& languageFlag)
{
    if (languageFlag == "ChineseGB")
        return simplifiedChinese;
    if (languageFlag == "ChineseBIG5")
        return traditionalChinese;
    return english;
}

} // namespace tempik
