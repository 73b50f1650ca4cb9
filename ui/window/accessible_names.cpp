#include "ui/window/accessible_names.h"

#include "texts/text_table.h"
#include "ui/window/window_texts.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

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

QString shownText(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    return {};
}

// "Set &Password" -> "Set Password", "设定密码(&P)" -> "设定密码", "Password:" -> "Password".
QString spokenText(QString text)
{
    static const QRegularExpression acceleratorInBrackets(QStringLiteral("\\(&.\\)$"));
    text.remove(acceleratorInBrackets);
    text.remove(QLatin1Char('&'));
    while (text.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

} // namespace

void nameControls(const std::map<std::string, QWidget*>& controls, int uiLanguage)
{
    const auto named = [&](const char* name) { return controls.at(name); };
    // Without it a reader would spell the accelerator out: "设定密码(P)".
    for (const auto& [name, widget] : controls)
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget); button && !button->text().isEmpty())
            widget->setAccessibleName(spokenText(button->text()));
    for (const NamedAfter& row : namedAfter)
        named(row.control)->setAccessibleName(spokenText(shownText(named(row.source))));
    for (const OwnName& row : ownNames)
        named(row.control)->setAccessibleName(windowText(row.text, uiLanguage));
    named("chkLock")->setToolTip(windowText(WindowText::lockTip, uiLanguage));
    // The language buttons show the language's name in a picture or in English; they read as
    // the reader display language list names them (item 0 English, 1 Traditional, 2 Simplified).
    const auto languages = displayLanguageItems(uiLanguage);
    named("btnEng")->setAccessibleName(QString::fromStdString(languages[0]));
    named("btnGB")->setAccessibleName(QString::fromStdString(languages[2]));
    named("btnBIG5")->setAccessibleName(QString::fromStdString(languages[1]));
}

} // namespace tempik
