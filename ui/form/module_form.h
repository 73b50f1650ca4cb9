#pragma once
// The tool's one window as a form without a toolkit: it owns the program-wide state (settings,
// link, session), decides what each button, timer tick and language switch does, and serves the
// reader operations as their ReaderControls on top of a FormView, so that the operations and
// these decisions never meet a toolkit. Qt on Linux and Win32 on Windows are its views.
#include "link/reader_link.h"
#include "reader/feedback.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "settings/settings_store.h"
#include "ui/form/form_seams.h"
#include "ui/form/form_view.h"

#include <string>

namespace tempik {

class ModuleForm final : public ReaderControls {
public:
    // Nothing is asked of the view until FormCreate: the view builds its controls first.
    ModuleForm(const FormSeams& seams, FormView& view);
    ~ModuleForm() override;

    // The form's own handlers. FormCreate loads the settings and prepares the controls once the
    // view has built them; FormShow writes every text in the window language.
    void FormCreate();
    void FormShow();
    void tmrBusyTimer();
    void sbIDChange(int position);
    // A button pressed by click, accelerator or Enter: its handler runs, unless one is running.
    void click(const std::string& button);
    // Text pasted into an edit box (more than one character at once) that the edit-box rule
    // refused, or cut to fit: the operator is told in the message bar.
    void pasteRefused();
    void pasteCut();
    // The view asks before it closes: only "Exit" closes the window, not the desktop.
    bool mayClose() const { return closeAllowed_; }

    // The window language, whose code page counts the edit boxes' bytes.
    int language() const { return settings_.uiLanguage; }
    // The blink phase of tmrBusy: 1 after a red tick, 0 after a yellow one.
    int busyTag() const { return busyTag_; }
    bool handlerRunning() const { return handlerRunning_; }

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

private:
    // Whether it was a scan that found no reader.
    bool runHandler(const std::string& button);
    void runOperation(const std::string& button);
    void recoverFromError();
    void tellRefusedPorts();
    void tellUnsavedSettings();
    void tellLineNotFollowed();
    void switchLanguage(int language);
    void btnExitClick();
    // Whether a text had to be cut.
    bool fitEditBoxesToLanguage();

    FormSeams seams_;
    FormView& view_;
    Settings settings_;
    ReaderLink link_;
    ReaderSession session_;
    ReaderOperations operations_;

    bool closeAllowed_ = false;
    bool handlerRunning_ = false;
    bool lineNotFollowed_ = false;   // told when the click's handler ends
    bool waitCursor_ = false;
    int busyTag_ = 0;
};

} // namespace tempik
