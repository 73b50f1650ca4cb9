#pragma once
// The window as native Win32 controls, built from the control table: every control at its place
// and size scaled by the monitor's DPI, with its class, style, picture and tab order; the
// window's message loop with IsDialogMessage (Tab, Enter for the default button, Alt+letter).
// Glue only: the form's FormView; it reports clicks, scrolls, timer ticks and close requests to
// its owner and does what it is told.
#include "reader/feedback.h"
#include "ui/form/form_view.h"
#include "ui/win32/control_look.h"
#include "ui/win32/drawn_controls.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct IAccPropServices;

namespace tempik {

struct ControlRow;

struct NativeWindowEvents {
    std::function<void(const char* control)> clicked;     // a button
    std::function<void(int position)> scrolled;           // sbID, by the operator or the program
    std::function<void()> timerTick;                      // tmrBusy
    std::function<bool()> closeRequested;                 // true: the window may close
    std::function<int()> language;                        // the window language, for the edit rule
};

class NativeWindow final : public FormView {
public:
    // dpi 0: the monitor's, following it when the window moves; otherwise fixed (tests).
    explicit NativeWindow(HINSTANCE instance, int dpi = 0);
    ~NativeWindow() override;
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    void connect(NativeWindowEvents events) { events_ = std::move(events); }
    HWND handle() const { return window_; }
    // The control of a row of the control table; "frmModule" is the window itself.
    HWND control(const std::string& name) const;
    int dpi() const { return dpi_; }
    const std::map<std::string, std::wstring>& accessibleNames() const { return accessibleNames_; }

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
    PreviewCanvas& preview() override { return preview_; }
    void startTimer(const char* timer, int intervalMs) override;
    void stopTimer(const char* timer) override;
    void processEvents() override;
    void discardPendingInput() override;
    void closeWindow() override;

    // Shown with the frame's top left corner where the caller chose (the placement arithmetic).
    void show(int left, int top);
    SIZE frameSize() const;
    RECT workArea() const;
    // Laid out again at a lower DPI, the largest in quarter steps of 96 at which the frame fits
    // area, when at its own it would not; never below 96.
    void shrinkToFit(const RECT& area);
    // The loop until the window is gone; its exit code.
    int run();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut();
    void scroll(HWND bar, int request, unsigned thumb);
    void setScrollPosition(HWND bar, const ControlRow& row, int position);
    void removeCloseEntry();
    LRESULT colour(HDC dc, HWND control);
    void drawEnglishButton(const DRAWITEMSTRUCT& item);
    const ControlRow* rowOf(HWND control) const;
    int scaled(int pixels) const { return MulDiv(pixels, dpi_, 96); }

    HINSTANCE instance_;
    NativeWindowEvents events_;
    bool fixedDpi_;
    int dpi_;
    HWND window_ = nullptr;
    std::unique_ptr<ControlLook> look_;
    std::map<std::string, HWND> controls_;
    std::map<HWND, const ControlRow*> rows_;
    std::vector<HICON> pictures_;
    PreviewPicture preview_;
    std::map<std::string, std::wstring> accessibleNames_;
    std::shared_ptr<IAccPropServices> accessibility_;
    HWND toolTip_ = nullptr;
    std::wstring toolTipText_;
    SIZE wantedFrame_{0, 0};
    bool waitCursor_ = false;
    bool quitSeen_ = false;
    int quitCode_ = 0;
};

} // namespace tempik
