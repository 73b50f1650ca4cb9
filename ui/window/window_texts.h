#pragma once
// The window's own texts, in the three window languages, beside the reader's text table: what
// only this tool says (a settings file it cannot write, texts cut by a language switch) and
// what a screen reader says for a control that shows no words of its own.
#include <QString>

namespace tempik {

enum class WindowText {
    settingsUnsaved,   // %1: the settings file
    textsShortened,
    lockName,
    lockTip,
    clearTitleMessage,
    clearInstallMessage,
    clearTitleText,
};

QString windowText(WindowText which, int uiLanguage);

} // namespace tempik
