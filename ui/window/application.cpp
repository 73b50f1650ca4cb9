#include "ui/window/application.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMessageBox>

namespace tempik {

void registerWindowFonts()
{
    static const bool done = [] {
        const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")};
        for (const char* family : {"Arial", "MS Sans Serif", "Microsoft Sans Serif"})
            QFont::insertSubstitutions(QString::fromLatin1(family), sans);
        return true;
    }();
    (void)done;
}

void setUpApplication(QApplication& application)
{
    // The name, not the display name: Qt would append a display name to every window caption.
    application.setApplicationName(QString::fromLatin1(applicationTitle));
    application.setDesktopFileName(QStringLiteral("tempik-config"));
    application.setWindowIcon(QIcon(QStringLiteral(":/images/window_icon.png")));
    registerWindowFonts();
}

void showError(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QString::fromLatin1(applicationTitle), message);
}

} // namespace tempik
