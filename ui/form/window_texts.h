#pragma once
// The window's own texts, in the three window languages, beside the reader's text table: what
// only this tool says (a settings file it cannot write, texts cut by a language switch, ports
// refused for lack of permission) and what a screen reader says for a control that shows no
// words of its own. UTF-8.
#include <string>

namespace tempik {

inline constexpr const char* applicationTitle = "KESTO TEMPIK Punch-card Reader Config";

enum class WindowText {
    settingsUnsaved,   // %1: the settings file
    textsShortened,
    lockName,
    lockTip,
    clearTitleMessage,
    clearInstallMessage,
    clearTitleText,
    portsRefused,      // %1: the ports, one a line
    // What a screen reader calls the lists, after what they hold, and the pictures.
    lineDefinitionList,
    displayLanguageList,
    hourDisplayList,
    cardTypeList,
    titleModeList,
    idleScreenList,
    linkLamp,
    iconPreview,
    pasteRefused,
    pasteCut,
    rawPortKeepsLine,   // %1: the reader's new line definition
};

std::string windowText(WindowText which, int uiLanguage);
// The text with its %1 replaced by argument.
std::string windowText(WindowText which, int uiLanguage, const std::string& argument);

} // namespace tempik
