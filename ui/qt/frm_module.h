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
#include <memory>
#include <string>

class QRect;
class QTimer;
class QTranslator;

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
    // The frame inside area, the window shrunk (below 1, in quarter steps of the screen's
    // scale) when at the screen's devicePixelRatio it would not fit.
    void placeFrameOn(const QRect& area, double devicePixelRatio);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void buildControls();
    // The frame inside its screen's available area (the window manager's frame, once known).
    void placeFrame();
    // Qt's own texts (message box buttons, the file dialog) in the window language.
    void followLanguage();
    QWidget* widget(const char* name) const;   // throws for a name the table lacks

    WindowSeams seams_;
    ModuleForm form_;
    std::map<std::string, QWidget*> controls_;
    bool waitCursor_ = false;
    bool shownOnce_ = false;
    bool framePlaced_ = false;
    double zoom_ = 1.0;
    int translatedLanguage_ = 0;
    std::unique_ptr<QTranslator> qtTexts_;
    StatusLamp* shComm = nullptr;
    PreviewImage* imgTitle = nullptr;
    QTimer* tmrBusy = nullptr;
};

} // namespace tempik
