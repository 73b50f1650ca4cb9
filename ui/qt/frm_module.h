#pragma once
// TfrmModule: the Qt view of the tool's one window. It builds its widgets from the control
// table, shows what the form (ui/form/module_form.h) tells it and forwards clicks, timer ticks
// and the identifier bar's changes to the form, which decides everything.
#include "ui/form/form_seams.h"
#include "ui/form/form_view.h"
#include "ui/form/module_form.h"
#include "ui/qt/preview_image.h"

#include <QWidget>

#include <map>
#include <string>

class QTimer;

namespace tempik {

class IconFileChooser;
class StatusLamp;

// The platform services the window runs on; the program puts the production ones together.
struct WindowSeams {
    SerialDevice& device;
    Clock& clock;
    const PortMap& ports;
    const SettingsStore& store;
    Tone& tone;
    IconFileChooser& iconFiles;
};

class TfrmModule final : public QWidget, public FormView {
    Q_OBJECT
public:
    explicit TfrmModule(const WindowSeams& seams, QWidget* parent = nullptr);
    ~TfrmModule() override;

    // FormView
    void setText(const char* control, const std::string& text) override;
    std::string text(const char* control) override;
    void setItems(const char* control, const std::vector<std::string>& items) override;
    void select(const char* control, int index) override;
    int selected(const char* control) override;
    void setAccessibleName(const char* control, const std::string& name) override;
    void setToolTip(const char* control, const std::string& tip) override;
    void setWindowEnabled(bool enabled) override;
    void setLamp(LampColour colour) override;
    void focus(const char* control) override;
    std::string focusedControl() override;
    void setWaitCursor(bool on) override;
    void showMessageBox(MessageBoxKind kind, const std::string& text) override;
    std::optional<std::string> chooseFile(const std::string& initialFolder, const std::string& filter) override;
    PreviewImage& preview() override;
    void startTimer(const char* timer, int intervalMs) override;
    void stopTimer(const char* timer) override;
    void processEvents() override;
    void discardPendingInput() override;
    void closeWindow() override;

    // For the program and its tests.
    ModuleForm& form() { return form_; }
    ReaderSession& session() { return form_.session(); }
    ReaderLink& link() { return form_.link(); }
    const Settings& settings() const { return form_.settings(); }
    QWidget* control(const char* name) const;
    StatusLamp& lamp() const { return *shComm; }
    QTimer& busyTimer() const { return *tmrBusy; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* widget(const char* name) const;   // throws for a name the table lacks

    WindowSeams seams_;
    ModuleForm form_;
    std::map<std::string, QWidget*> controls_;
    bool waitCursor_ = false;
    bool shownOnce_ = false;
    StatusLamp* shComm = nullptr;
    PreviewImage* imgTitle = nullptr;
    QTimer* tmrBusy = nullptr;
};

} // namespace tempik
