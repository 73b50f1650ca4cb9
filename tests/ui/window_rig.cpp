#include "tests/ui/window_rig.h"

#include "settings/settings_file_store.h"

#include <QAbstractButton>
#include <QApplication>
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
        std::string content = std::string("REGEDIT4\n\n[") + SettingsFileStore::keyPath + "]\n";
        for (const std::string& line : storedSettings)
            content += line + "\n";
        writeFile(configPath(), content);
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
    device.responder = readerOn("COM1", "", statusReply(identifier, serial), versionReply(version));
}

void WindowRig::scan()
{
    click("btnScan");
}

void WindowRig::click(const char* button)
{
    QTest::mouseClick(get<QAbstractButton>(button), Qt::LeftButton);
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
