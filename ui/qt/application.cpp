#include "ui/qt/application.h"

#include "ui/form/control_table.h"
#include "ui/qt/message_bar.h"
#include "ui/qt/value_list.h"

#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QImageReader>
#include <QMessageBox>

// The pictures live in this static library: nothing would pull their resource object in.
static void initWindowPictures()
{
    Q_INIT_RESOURCE(pictures);
}

namespace tempik {

void prepareWindowResources()
{
    static const bool done = [] {
        initWindowPictures();
        QAccessible::installFactory(valueListInterface);
        QAccessible::installFactory(messageBarInterface);
        const QStringList sans{QStringLiteral("Liberation Sans"), QStringLiteral("WenQuanYi Micro Hei")};
        for (const char* family : {"Arial", "MS Sans Serif", "Microsoft Sans Serif"})
            QFont::insertSubstitutions(QString::fromLatin1(family), sans);
        return true;
    }();
    (void)done;
}

QIcon windowPicture(const char* resource)
{
    QString path = QStringLiteral(":/images/") + QString::fromLatin1(resource);
    if (path.endsWith(QLatin1String(".svg")) && !QImageReader::supportedImageFormats().contains("svg"))
        path.replace(path.size() - 3, 3, QStringLiteral("png"));
    return QIcon(path);
}

void setUpApplication(QApplication& application)
{
    // The name, not the display name: Qt would append a display name to every window caption.
    application.setApplicationName(QString::fromLatin1(applicationTitle));
    application.setDesktopFileName(QStringLiteral("tempik-config"));
    prepareWindowResources();
    application.setWindowIcon(windowPicture(findControl("frmModule")->picture));
}

void showError(QWidget* parent, const QString& message)
{
    QMessageBox::critical(parent, QString::fromLatin1(applicationTitle), message);
}

} // namespace tempik
