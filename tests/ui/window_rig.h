#pragma once
// A window on the fake device, fake clock and a recording tone, with a configuration folder of
// its own; a reader on COM1 answers when asked to.
#include "settings/settings_file_store.h"
#include "tests/support/fake_clock.h"
#include "tests/support/fake_device.h"
#include "tests/support/files.h"
#include "texts/text_table.h"
#include "ui/qt/frm_module.h"
#include "ui/qt/icon_file_chooser.h"
#include "ui/form/tone.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tempik::testing {

class RecordingTone final : public Tone {
public:
    void playTone(int frequencyHz, int durationMs) override
    {
        tones.emplace_back(frequencyHz, durationMs);
        if (whilePlaying)
            whilePlaying();
    }
    std::vector<std::pair<int, int>> tones;
    std::function<void()> whilePlaying;   // the operator's doings while the tone sounds
};

class ScriptedIconFiles final : public IconFileChooser {
public:
    std::optional<std::string> chooseIconFile(QWidget*, const std::string& initialFolder) override
    {
        folders.push_back(initialFolder);
        return answer;
    }
    std::optional<std::string> answer;   // nullopt: the operator cancels
    std::vector<std::string> folders;
};

// Closes every message box that comes up, keeping its caption and text.
class MessageBoxCatcher {
public:
    MessageBoxCatcher()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                captions.push_back(box->windowTitle().toStdString());
                texts.push_back(box->text().toStdString());
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(10);
    }
    std::vector<std::string> captions, texts;

private:
    QTimer timer_;
};

// Types text into the focused-or-given widget one key at a time, Chinese included (QTest's
// keyClicks only knows Latin-1).
void typeText(QWidget* widget, const QString& text);

struct WindowRig {
    // storedSettings: lines of TEMPIKConfig.reg under the key, e.g. "\"LanguageFlag\"=\"ChineseGB\"".
    explicit WindowRig(const std::vector<std::string>& storedSettings = {});
    ~WindowRig();

    void show();
    // The reader answers on COM1 at any line definition.
    void attachReader(const std::string& identifier = "0042", const std::string& serial = "A1B2C3D4",
                      const std::string& version = "01.40-01");
    void scan();
    void click(const char* button);
    std::string configPath() const { return folder.path() + "/" + SettingsFileStore::fileName; }
    std::string configFile() const { return fileText(configPath()); }

    template <class W>
    W* get(const char* name) const
    {
        auto* widget = qobject_cast<W*>(window->control(name));
        if (!widget)
            throw std::runtime_error(std::string("no control ") + name);
        return widget;
    }
    QString textOf(const char* name) const;

    TempFolder folder;
    FakeClock clock;
    FakeDevice device{clock};
    FakePortMap ports;
    SettingsFileStore store{folder.path()};
    RecordingTone tone;
    ScriptedIconFiles iconFiles;
    std::unique_ptr<TfrmModule> window;
};

} // namespace tempik::testing
