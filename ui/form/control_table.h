#pragma once
// The main window as data: every control with its place, size, text, style, limits, items,
// initial selection and tab order, in the order the window declares them. The window is built
// from this table, and FormShow writes its texts from it.
#include <cstddef>

namespace tempik {

enum class ControlKind {
    form,           // the window itself
    button,
    pictureButton,  // button with a picture
    panel,
    label,
    scrollBar,
    dropDown,       // fixed list: pick an item, no typing
    editBox,
    checkBox,
    shape,          // the lamp
    image,
    timer,
    fileDialog,
};

enum class ControlStyle {
    window,          // "Arial" 16 px regular, window-text colour
    V,               // value fields: highlight background, yellow bold "MS Sans Serif" 16 px
    M,               // message bar: active-caption background, white bold "MS Sans Serif" 16 px
    F,               // footer: navy background, white "Microsoft Sans Serif" 11 px
    englishButton,   // red "MS Sans Serif" 13 px
    languagePicture, // "MS Sans Serif" 11 px, picture only
    framed,          // single border, width 1
};

enum ControlFlag : unsigned {
    noFlags = 0,
    rightAligned = 1u << 0,
    defaultButton = 1u << 1,
};

constexpr int noEntry = -1;
constexpr int noTab = -1;

struct ControlRow {
    const char* name;
    ControlKind kind;
    const char* parent;        // nullptr: the form
    int left, top, width, height;
    int entry;                 // TextTable entry in the current language, or noEntry
    const char* text;          // with an entry: the suffix after it; else the fixed text
    ControlStyle style;
    int tab;                   // place in the tab order, or noTab
    const char* picture;       // file in ui/form/images
    unsigned flags;
    const char* items;         // drop-down items separated by '|'
    int value;                 // selected item, scroll position, ticked, timer tag
    int limit;                 // edit box bytes, scroll maximum, timer interval in ms
    int minimum = 0;           // scroll minimum
    int step = 0;              // scroll arrow step
    int page = 0;              // scroll page step
};

extern const ControlRow controlTable[];
extern const size_t controlCount;

// The controls FormShow writes, in the order it writes them ("frmModule" is the caption).
extern const char* const formShowOrder[];
extern const size_t formShowCount;

const ControlRow* findControl(const char* name);

} // namespace tempik
