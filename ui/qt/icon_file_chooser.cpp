#include "ui/qt/icon_file_chooser.h"

#include "ui/form/control_table.h"

#include <QFileDialog>

namespace tempik {

std::optional<std::string> DialogIconFileChooser::chooseIconFile(QWidget* parent, const std::string& initialFolder)
{
    const QString chosen = QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(initialFolder),
                                                        QString::fromLatin1(findControl("odFile")->text));
    if (chosen.isEmpty())
        return std::nullopt;
    // The reader opens the file by its name in the file system's own encoding.
    return QFile::encodeName(chosen).toStdString();
}

} // namespace tempik
