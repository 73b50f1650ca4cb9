#include "tests/ui/window_rig.h"

#include "settings/settings_file_store.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QTest>

#include <stdexcept>

namespace tempik::testing {

void typeText(QWidget* widget, const QString& text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(widget, &release);
    }
}

WindowRig::WindowRig(const std::vector<std::string>& storedSettings)
{
    if (!storedSettings.empty()) {
        QFile file(folder.filePath(QString::fromLatin1(SettingsFileStore::fileName)));
        if (!file.open(QIODevice::WriteOnly))
            throw std::runtime_error("cannot write the settings file");
        std::string content = std::string("REGEDIT4\n\n[") + SettingsFileStore::keyPath + "]\n";
        for (const std::string& line : storedSettings)
            content += line + "\n";
        file.write(content.data(), static_cast<qint64>(content.size()));
    }
    ports.ports = {1};
    window = std::make_unique<TfrmModule>(WindowSeams{device, clock, ports, store, tone, iconFiles});
}

WindowRig::~WindowRig() = default;

void WindowRig::show()
{
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        throw std::runtime_error("the window did not become active");
}

void WindowRig::attachReader(const std::string& identifier, const std::string& serial, const std::string& version)
{
    device.responder = [=](const std::string& path, const std::string&, const std::string& payload) {
        if (path != "COM1")
            return std::vector<uint8_t>{};
        if (payload == "0000AS")
            return statusReply(identifier, serial);
        if (payload == "0000AV")
            return versionReply(version);
        return ackReply();
    };
}

void WindowRig::scan()
{
    click("btnScan");
}

void WindowRig::click(const char* button)
{
    QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton);
}

std::string WindowRig::configFile() const
{
    QFile file(folder.filePath(QString::fromLatin1(SettingsFileStore::fileName)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

QString WindowRig::textOf(const char* name) const
{
    QWidget* widget = window->control(name);
    if (auto* label = qobject_cast<QLabel*>(widget))
        return label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget))
        return button->text();
    if (auto* box = qobject_cast<QLineEdit*>(widget))
        return box->text();
    if (auto* list = qobject_cast<QComboBox*>(widget))
        return list->currentText();
    throw std::runtime_error(std::string("no text on ") + name);
}

} // namespace tempik::testing
