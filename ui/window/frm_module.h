#pragma once
// TfrmModule: the tool's one window. Built from the control table, it serves the reader
// operations as their ReaderControls (lamp, message bar, panels, the values of the controls,
// cursor, enabling, beep, event processing, icon dialog, preview) and starts them from its
// buttons. It owns the program-wide state: settings, link and session.
#include "link/reader_link.h"
#include "reader/feedback.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "settings/settings_store.h"
#include "texts/text_table.h"

#include "ui/window/tagged_timer.h"

#include <QWidget>

#include <functional>
#include <map>
#include <string>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tempik {

class CodePageValidator;
class IconFileChooser;
class PreviewImage;
class StatusLamp;
class Tone;

// The platform services the window runs on; the program puts the production ones together.
struct WindowSeams {
    SerialDevice& device;
    Clock& clock;
    const PortMap& ports;
    const SettingsStore& store;
    Tone& tone;
    IconFileChooser& iconFiles;
};

class TfrmModule final : public QWidget, public ReaderControls {
    Q_OBJECT
public:
    explicit TfrmModule(const WindowSeams& seams, QWidget* parent = nullptr);
    ~TfrmModule() override;

    // The window's own handlers.
    void FormCreate();
    void FormShow();
    void tmrBusyTimer();
    void btnEngClick() { switchLanguage(english); }
    void btnGBClick() { switchLanguage(simplifiedChinese); }
    void btnBIG5Click() { switchLanguage(traditionalChinese); }
    void btnExitClick();

    // OperationFeedback
    void setWaitCursor(bool on) override;
    void setWindowEnabled(bool enabled) override;
    void setLamp(LampColour colour) override;
    void setMessage(const std::string& text) override;
    void beep(int frequencyHz, int durationMs) override;
    void processEvents() override;
    // ScanFeedback
    void setBusy(bool on) override;
    void setSerialText(const std::string& text) override;
    void setVersionText(const std::string& text) override;
    void setIdText(const std::string& text) override;
    void selectBaudRate(int index) override;
    bool lockTicked() override;
    void setIdPosition(int position) override;
    // ReaderControls
    std::string idText() override;
    int baudRateIndex() override;
    int hourIndex() override;
    int languageIndex() override;
    std::string passwordText() override;
    int soundIndex() override;
    int cardTypeIndex() override;
    std::string backLightText() override;
    std::string workText() override;
    int idleIndex() override;
    int titleModeIndex() override;
    void selectTitleMode(int index) override;
    std::string titleText() override;
    std::string installText() override;
    void setInstallText(const std::string& text) override;
    std::string messageText() override;
    std::string showText() override;
    std::optional<std::string> chooseIconFile(const std::string& initialFolder) override;
    PreviewCanvas& iconPreview() override;

    // For the program and its tests.
    ReaderSession& session() { return session_; }
    ReaderLink& link() { return link_; }
    ReaderOperations& operations() { return operations_; }
    const Settings& settings() const { return settings_; }
    QWidget* control(const char* name) const;
    StatusLamp& lamp() const { return *shComm; }
    TaggedTimer& busyTimer() const { return *tmrBusy; }
    PreviewImage& preview() const { return *imgTitle; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Builds the controls from the control table (window_builder) and finds the named ones.
    void buildControls();
    void wireHandlers();
    void onClick(const char* button, std::function<void()> handler);
    // Runs one handler: one at a time, and an error that escapes it is shown, not fatal.
    void runHandler(const std::function<void()>& handler);
    void recoverFromError();
    // After a scan that found no reader: the ports refused for lack of permission, and the remedy.
    void tellRefusedPorts();
    void switchLanguage(int language);
    // Whether a text had to be cut.
    bool fitEditBoxesToLanguage();
    std::string editText(QLineEdit* box) const;

    WindowSeams seams_;
    Settings settings_;
    ReaderLink link_;
    ReaderSession session_;
    ReaderOperations operations_;

    std::map<std::string, QWidget*> controls_;
    bool closeAllowed_ = false;
    bool handlerRunning_ = false;
    bool waitCursor_ = false;
    bool shownOnce_ = false;

    QPushButton* btnScan = nullptr;
    QLabel* pnSerial = nullptr;
    QScrollBar* sbID = nullptr;
    QComboBox* cmbBaudRate = nullptr;
    QLabel* pnVersion = nullptr;
    QLabel* pnID = nullptr;
    QLabel* pnMsg = nullptr;
    StatusLamp* shComm = nullptr;
    TaggedTimer* tmrBusy = nullptr;
    QComboBox* cmbLanguage = nullptr;
    QLineEdit* edTitle = nullptr;
    QLineEdit* edPassword = nullptr;
    QComboBox* cmbSound = nullptr;
    QComboBox* cmbHour = nullptr;
    QComboBox* cmbCardType = nullptr;
    QLineEdit* edBackLight = nullptr;
    QComboBox* cmbTitle = nullptr;
    PreviewImage* imgTitle = nullptr;
    QLineEdit* edWork = nullptr;
    QCheckBox* chkLock = nullptr;
    QLineEdit* edInstall = nullptr;
    QLineEdit* edMessage = nullptr;
    QLineEdit* edShow = nullptr;
    QComboBox* cmbIdle = nullptr;
};

} // namespace tempik
