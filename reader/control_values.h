#pragma once
// The controls' limits and starting values, named after the window's controls and free of any
// toolkit, with the one rule of what an edit box may hold: the window's control table, tempikctl
// and the tests all take them from here.
#include "link/line_definition.h"
#include "reader/commands.h"

#include <cstddef>
#include <string>

namespace tempik {

namespace controlValues {

struct EditBox {
    size_t limitBytes;   // counted in the code page of the window language
    const char* text;    // starting text
};

struct DropDown {
    int selected;        // starting item
};

struct CheckBox {
    bool ticked;
};

struct ScrollBar {
    int position;
    int minimum;
    int maximum;
    int step;            // arrow step
    int page;            // page step
};

// A panel's starting text: its fixed text, or what follows its language entry.
struct Panel {
    const char* text;
};

inline constexpr EditBox edPassword{4, "6082"};
inline constexpr EditBox edBackLight{3, "120"};
inline constexpr EditBox edWork{3, "010"};
// The text boxes hold at most what their fields carry, so what is shown is what is sent.
inline constexpr EditBox edTitle{titleFieldWidth, "KESTO Technology"};
inline constexpr EditBox edInstall{installFieldWidth, "Office"};
inline constexpr EditBox edMessage{messageFieldWidth, "Welcome"};
inline constexpr EditBox edShow{showFieldWidth, "Hello!"};

inline constexpr DropDown cmbBaudRate{factoryLineDefinitionIndex};
inline constexpr DropDown cmbLanguage{0};   // "English"
inline constexpr DropDown cmbSound{9};      // "9"
inline constexpr DropDown cmbHour{0};       // "12H"
inline constexpr DropDown cmbCardType{0};   // "32 bits Card"
inline constexpr DropDown cmbIdle{0};       // "Date & Time"
inline constexpr DropDown cmbTitle{0};      // "No Title"

inline constexpr CheckBox chkLock{true};
inline constexpr ScrollBar sbID{1, 1, 9999, 1, 10};

inline constexpr Panel pnID{"0000"};
inline constexpr Panel pnSerial{" : ________"};   // after "S/N"
inline constexpr Panel pnVersion{" : __.__-__"};  // after "VER"

} // namespace controlValues

// A control character: a byte below 0x20, or DEL (0x7F). In UTF-8 and in the code pages of the
// tool (Windows-1252, GBK, Big5) such a byte is always that character, never part of another.
constexpr bool isControlByte(unsigned char byte)
{
    return byte < 0x20 || byte == 0x7F;
}

bool hasControlCharacter(const std::string& text);

// The characters an edit box takes: no control character, which must never enter a payload,
// and none that the code page of uiLanguage lacks, which would reach the reader as "?".
bool editBoxTakes(const std::string& utf8, int uiLanguage);

// What an edit box may hold: characters it takes, at most limitBytes bytes in the code page of
// uiLanguage, so what is shown is what is sent and no double-byte character is cut in half.
bool fitsEditBox(const std::string& utf8, size_t limitBytes, int uiLanguage);

} // namespace tempik
