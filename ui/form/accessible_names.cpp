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
    {"cmbSound", "lblSound"},    {"edBackLight", "btnBackLight"}, {"edWork", "btnWorkMode"},
    {"edInstall", "btnInstall"}, {"edMessage", "btnTitleMessage"}, {"edShow", "btnShowMessage"},
};

struct OwnName {
    const char* control;
    WindowText text;
};

// A list is named after what it holds, not after the button beside it.
constexpr OwnName ownNames[] = {
    {"cmbBaudRate", WindowText::lineDefinitionList},
    {"cmbLanguage", WindowText::displayLanguageList},
    {"cmbHour", WindowText::hourDisplayList},
    {"cmbCardType", WindowText::cardTypeList},
    {"cmbTitle", WindowText::titleModeList},
    {"cmbIdle", WindowText::idleScreenList},
    {"shComm", WindowText::linkLamp},
    {"imgTitle", WindowText::iconPreview},
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
    // A language button is for someone who may not read the window's language: each says its
    // language in that language, as its picture shows it.
    names.push_back({"btnEng", "English"});
    names.push_back({"btnGB", "简体中文"});
    names.push_back({"btnBIG5", "繁體中文"});
    return names;
}

} // namespace tempik
