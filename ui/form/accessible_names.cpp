#include "ui/form/accessible_names.h"

#include "texts/text_table.h"
#include "ui/form/control_table.h"
#include "ui/form/window_texts.h"

#include <cstring>

namespace tempik {

namespace {

// The control and the control whose shown text names it.
struct NamedAfter {
    const char* control;
    const char* source;
};

constexpr NamedAfter namedAfter[] = {
    {"sbID", "lblID"},           {"edPassword", "lblPassword"},  {"edTitle", "lblTitle"},
    {"cmbSound", "lblSound"},    {"cmbBaudRate", "btnBaudRate"}, {"cmbLanguage", "btnLanguage"},
    {"cmbHour", "btnDateTime"},  {"cmbCardType", "btnCardType"}, {"edBackLight", "btnBackLight"},
    {"edWork", "btnWorkMode"},   {"edInstall", "btnInstall"},    {"edMessage", "btnTitleMessage"},
    {"edShow", "btnShowMessage"}, {"cmbTitle", "btnSetTitleMode"}, {"cmbIdle", "btnIdle"},
};

struct OwnName {
    const char* control;
    WindowText text;
};

constexpr OwnName ownNames[] = {
    {"chkLock", WindowText::lockName},
    {"btnClrTitle", WindowText::clearTitleMessage},
    {"btnClrInstall", WindowText::clearInstallMessage},
    {"btnTitleClear", WindowText::clearTitleText},
};

bool endsWith(const std::string& text, const char* end)
{
    const size_t n = std::strlen(end);
    return text.size() >= n && text.compare(text.size() - n, n, end) == 0;
}

} // namespace

std::string shownText(const char* control, int uiLanguage)
{
    const ControlRow* row = findControl(control);
    if (!row)
        return {};
    return row->entry == noEntry ? std::string(row->text) : text(row->entry, uiLanguage) + row->text;
}

std::string spokenText(std::string text)
{
    // "(&P)" at the end: the accelerator of a Chinese text.
    if (text.size() >= 4 && text[text.size() - 4] == '(' && text[text.size() - 3] == '&' && text.back() == ')')
        text.erase(text.size() - 4);
    std::string spoken;
    for (const char c : text)
        if (c != '&')
            spoken += c;
    while (endsWith(spoken, ":") || endsWith(spoken, " "))
        spoken.pop_back();
    return spoken;
}

std::vector<AccessibleName> accessibleNames(int uiLanguage)
{
    std::vector<AccessibleName> names;
    // Without it a reader would spell the accelerator out: "设定密码(P)".
    for (size_t i = 0; i < controlCount; ++i) {
        const ControlRow& row = controlTable[i];
        const bool button = row.kind == ControlKind::button || row.kind == ControlKind::pictureButton;
        if (button && !shownText(row.name, uiLanguage).empty())
            names.push_back({row.name, spokenText(shownText(row.name, uiLanguage))});
    }
    for (const NamedAfter& row : namedAfter)
        names.push_back({row.control, spokenText(shownText(row.source, uiLanguage))});
    for (const OwnName& row : ownNames)
        names.push_back({row.control, windowText(row.text, uiLanguage)});
    // The language buttons show the language's name in a picture or in English; they read as
    // the reader display language list names them (item 0 English, 1 Traditional, 2 Simplified).
    const auto languages = displayLanguageItems(uiLanguage);
    names.push_back({"btnEng", languages[0]});
    names.push_back({"btnGB", languages[2]});
    names.push_back({"btnBIG5", languages[1]});
    return names;
}

} // namespace tempik
