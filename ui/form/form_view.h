#pragma once
// What the form asks of a window toolkit: the one seam between the form's decisions and the
// widgets that show them. A view builds its controls from the control table and names them as
// the table does ("frmModule" is the window itself); it forwards clicks, timer ticks and the
// identifier bar's changes to the form and decides nothing itself. Texts are UTF-8.
#include "reader/feedback.h"

#include <optional>
#include <string>
#include <vector>

namespace tempik {

enum class MessageBoxKind { warning, error };

class FormView {
public:
    virtual ~FormView() = default;

    // The caption of the window, a label's, panel's or button's text, an edit box's contents.
    virtual void setText(const char* control, const std::string& text) = 0;
    // An edit box's or a panel's text.
    virtual std::string text(const char* control) = 0;
    // A drop-down list's items, replaced whole.
    virtual void setItems(const char* control, const std::vector<std::string>& items) = 0;
    // A list's item, the scroll bar's position, a check box's tick (0 or 1).
    virtual void select(const char* control, int index) = 0;
    virtual int selected(const char* control) = 0;
    // What a screen reader says for a control, and a tool tip.
    virtual void setAccessibleName(const char* control, const std::string& name) = 0;
    virtual void setToolTip(const char* control, const std::string& tip) = 0;

    // The whole window takes input, or none of it.
    virtual void setWindowEnabled(bool enabled) = 0;
    virtual void setLamp(LampColour colour) = 0;
    // The keyboard focus (kept for when the window shows); nothing happens to a disabled control.
    virtual void focus(const char* control) = 0;
    // The control of the window that has the focus, or "" when none has.
    virtual std::string focusedControl() = 0;
    virtual void setWaitCursor(bool on) = 0;

    // A modal box with an OK button, captioned with the application title.
    virtual void showMessageBox(MessageBoxKind kind, const std::string& text) = 0;
    // The open-file dialog starting in initialFolder with the file dialog row's filter; nullopt on cancel.
    virtual std::optional<std::string> chooseFile(const std::string& initialFolder, const std::string& filter) = 0;
    virtual PreviewCanvas& preview() = 0;

    // A timer of the control table, ticking every intervalMs until stopped.
    virtual void startTimer(const char* timer, int intervalMs) = 0;
    virtual void stopTimer(const char* timer) = 0;

    // One pass over pending events, as the link's waits need to keep the window drawn.
    virtual void processEvents() = 0;
    // Drops mouse and keyboard input that is waiting to be delivered, without acting on it.
    virtual void discardPendingInput() = 0;
    // Closes the window for good (the form has decided that it may close).
    virtual void closeWindow() = 0;
};

} // namespace tempik
