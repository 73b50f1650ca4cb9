#pragma once
// A view of the form without a toolkit: every control of the table as plain fields, message
// boxes and file choices recorded, and the operator's input as a queue that an event pass
// delivers, as a toolkit's queue does: to the form while the window takes input, dropped while
// it is disabled, and waiting while nobody passes over events.
#include "tests/support/recording_controls.h"
#include "ui/form/form_view.h"
#include "ui/form/module_form.h"

#include "link/clock.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tempik::testing {

class FakeView final : public FormView {
public:
    struct Control {
        std::string text;
        std::vector<std::string> items;
        int selected = 0;
        int minimum = 0, maximum = 0;   // a scroll bar's range
        std::string accessibleName, toolTip;
    };
    struct Box {
        MessageBoxKind kind;
        std::string text;
    };
    struct Input {
        uint32_t atMs;        // when the operator pressed it, on the form's clock
        std::string button;
    };

    explicit FakeView(Clock& clock);

    void setText(const char* control, const std::string& text) override { at(control).text = text; }
    std::string text(const char* control) override { return at(control).text; }
    void setItems(const char* control, const std::vector<std::string>& items) override;
    void select(const char* control, int index) override;
    int selected(const char* control) override { return at(control).selected; }
    void setAccessibleName(const char* control, const std::string& name) override { at(control).accessibleName = name; }
    void setToolTip(const char* control, const std::string& tip) override { at(control).toolTip = tip; }
    void setWindowEnabled(bool on) override { enabled = on; }
    void setLamp(LampColour colour) override { lamp = colour; }
    void focus(const char* control) override;
    std::string focusedControl() override { return focused; }
    void setWaitCursor(bool on) override { waitCursor = on; }
    void showMessageBox(MessageBoxKind kind, const std::string& text) override { boxes.push_back({kind, text}); }
    std::optional<std::string> chooseFile(const std::string& initialFolder, const std::string& filter) override;
    PreviewCanvas& preview() override { return canvas; }
    void startTimer(const char* timer, int intervalMs) override { timers[timer] = intervalMs; }
    void stopTimer(const char* timer) override { timers.erase(timer); }
    void processEvents() override;
    void discardPendingInput() override;
    void closeWindow() override { closed = true; }

    // The program's event loop until no input is left: waits for each press, then delivers it.
    void runEventLoop();
    Control& at(const std::string& control);

    ModuleForm* form = nullptr;
    std::map<std::string, Control> controls;
    bool enabled = true;
    LampColour lamp = LampColour::red;
    std::string focused;
    bool waitCursor = false;
    std::vector<Box> boxes;
    std::optional<std::string> chosenFile;
    std::vector<std::string> fileDialogs;   // "folder|filter" of each
    RecordingCanvas canvas;
    std::map<std::string, int> timers;      // running, with their intervals
    bool closed = false;
    std::deque<Input> input;
    std::function<void()> duringEventPass;  // runs at each pass, before the input is delivered

private:
    void deliverArrivedInput();
    Clock& clock_;
};

} // namespace tempik::testing
