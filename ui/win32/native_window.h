#pragma once
// The window as native Win32 controls, built from the control table: every control at its place
// and size scaled by the monitor's DPI, with its class, style, picture and tab order; the
// window's message loop with IsDialogMessage (Tab, Enter for the default button, Alt+letter).
// Glue only: it reports clicks, scrolls, timer ticks and close requests to its owner and does
// what it is told.
#include "reader/feedback.h"
#include "ui/win32/control_look.h"
#include "ui/win32/drawn_controls.h"

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tempik {

struct ControlRow;

struct NativeWindowEvents {
    std::function<void(const char* control)> clicked;     // a button
    std::function<void(int position)> scrolled;           // sbID, by the operator or the program
    std::function<void()> timerTick;                      // tmrBusy
    std::function<bool()> closeRequested;                 // true: the window may close
    std::function<int()> language;                        // the window language, for the edit rule
};

class NativeWindow {
public:
    // dpi 0: the monitor's, following it when the window moves; otherwise fixed (tests).
    NativeWindow(HINSTANCE instance, NativeWindowEvents events, int dpi = 0);
    ~NativeWindow();
    NativeWindow(const NativeWindow&) = delete;
    NativeWindow& operator=(const NativeWindow&) = delete;

    HWND handle() const { return window_; }
    // The control of a row of the control table; "frmModule" is the window itself.
    HWND control(const std::string& name) const;
    int dpi() const { return dpi_; }

    void setText(const char* name, const std::string& utf8);
    std::string text(const char* name) const;
    void setItems(const char* name, const std::vector<std::string>& items);
    void select(const char* name, int index);
    int selected(const char* name) const;
    bool checked(const char* name) const;
    void setScrollPosition(const char* name, int position);
    int scrollPosition(const char* name) const;
    void focus(const char* name);

    void setEnabled(bool enabled);
    void setWaitCursor(bool on);
    void setLamp(LampColour colour);
    PreviewPicture& preview() { return preview_; }
    void startTimer(int intervalMs);
    void stopTimer();
    // The Close entry of the system menu (its last) goes, and with it the title bar's close button.
    void removeCloseEntry();

    void showMessage(const std::string& caption, const std::string& text, bool error);
    // The open-file dialog with one filter entry, e.g. "Icon files (*.ico)" and "*.ico".
    std::optional<std::string> chooseFile(const std::string& initialFolder, const std::string& filterName,
                                          const std::string& pattern);

    // Shown at the top left corner of the frame the caller chose (the placement arithmetic).
    void show(int left, int top);
    SIZE frameSize() const;
    RECT workArea() const;

    // One pass over the pending messages (an operation's event pump), and the loop until the
    // window is gone.
    void pumpMessages();
    int run();
    void close();

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void createControls();
    void layOut();
    void scroll(HWND bar, int request);
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
    bool waitCursor_ = false;
    bool quitSeen_ = false;
    int quitCode_ = 0;
};

} // namespace tempik
