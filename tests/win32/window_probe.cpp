// window_probe.exe: reads and drives a running tempik-config.exe for the end-to-end test under
// Wine, as a screen reader or automation tool would, through the window's own controls. Each
// argument group is one step; the first failing step ends the program with exit code 1.
//   text NAME            prints the control's text (UTF-8), "frmModule" the caption
//   wait NAME TEXT       waits (up to 60 s) until the control shows TEXT
//   enabled 0|1          waits until the window is disabled or enabled
//   where NAME           prints the screen point at the control's centre
//   select NAME INDEX    picks a list item as a user would (CBN_SELCHANGE follows), moves the
//                        scroll bar's thumb there, or ticks (1) or clears (0) the check box
//   type NAME TEXT       puts TEXT into an edit box
//   click NAME           presses a button (posted, so it returns at once)
//   name NAME            prints the name a screen reader gets (AccessibleObjectFromWindow)
#include "ui/form/control_table.h"
#include "link/wide_text.h"

#include <windows.h>
#include <oleacc.h>

#include <cstdio>
#include <cstdlib>
#include <string>

using namespace tempik;

namespace {

struct Found {
    int id;
    HWND window;
};

BOOL CALLBACK byId(HWND child, LPARAM into)
{
    auto* found = reinterpret_cast<Found*>(into);
    if (GetDlgCtrlID(child) != found->id)
        return TRUE;
    found->window = child;
    return FALSE;
}

HWND mainWindow()
{
    for (int i = 0; i < 600; ++i) {
        if (HWND window = FindWindowW(L"TempikConfigWindow", nullptr))
            return window;
        Sleep(100);
    }
    return nullptr;
}

HWND controlOf(HWND window, const std::string& name)
{
    const ControlRow* row = findControl(name.c_str());
    if (!row)
        return nullptr;
    if (row->kind == ControlKind::form)
        return window;
    Found found{1000 + static_cast<int>(row - controlTable), nullptr};
    EnumChildWindows(window, byId, reinterpret_cast<LPARAM>(&found));
    return found.window;
}

std::string textOf(HWND control)
{
    // WM_GETTEXT through the message queue of the window's thread: what it shows now.
    std::wstring text(4096, L'\0');
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 30000,
                        &length);
    text.resize(length);
    return utf8FromWide(text);
}

std::string accessibleName(HWND control)
{
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(&accessible))) || !accessible)
        return "<no accessible object>";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result = "<no name>";
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        result = utf8FromWide(name);
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

const ControlRow& rowOf(const std::string& name)
{
    return *findControl(name.c_str());
}

void say(const std::string& line)
{
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    CoInitialize(nullptr);
    HWND window = mainWindow();
    if (!window) {
        say("no window");
        return 1;
    }
    for (int i = 1; i < argc;) {
        const std::string step = utf8FromWide(argv[i++]);
        const std::string name = i < argc ? utf8FromWide(argv[i++]) : "";
        HWND control = step == "enabled" ? window : controlOf(window, name);
        if (!control) {
            say("no control " + name);
            return 1;
        }
        if (step == "text") {
            say(textOf(control));
        } else if (step == "name") {
            say(accessibleName(control));
        } else if (step == "where") {
            RECT place;
            GetWindowRect(control, &place);
            say(std::to_string((place.left + place.right) / 2) + " " + std::to_string((place.top + place.bottom) / 2));
        } else if (step == "click") {
            PostMessageW(control, BM_CLICK, 0, 0);
        } else if (step == "enabled") {
            const bool wanted = name == "1";
            int waited = 0;
            for (; (IsWindowEnabled(window) != FALSE) != wanted && waited < 60000; waited += 5)
                Sleep(5);
            if (waited >= 60000) {
                say("window still " + std::string(wanted ? "disabled" : "enabled"));
                return 1;
            }
        } else if (i < argc) {
            const std::string value = utf8FromWide(argv[i++]);
            if (step == "wait") {
                std::string shown = textOf(control);
                for (int waited = 0; shown != value && waited < 60000; waited += 20) {
                    Sleep(20);
                    shown = textOf(control);
                }
                if (shown != value) {
                    say(name + " shows \"" + shown + "\", not \"" + value + "\"");
                    return 1;
                }
            } else if (step == "select" && rowOf(name).kind == ControlKind::scrollBar) {
                SendMessageW(window, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::atoi(value.c_str())),
                             reinterpret_cast<LPARAM>(control));
            } else if (step == "select" && rowOf(name).kind == ControlKind::checkBox) {
                SendMessageW(control, BM_SETCHECK, std::atoi(value.c_str()) ? BST_CHECKED : BST_UNCHECKED, 0);
            } else if (step == "select") {
                SendMessageW(control, CB_SETCURSEL, static_cast<WPARAM>(std::atoi(value.c_str())), 0);
                SendMessageW(window, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), CBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(control));
            } else if (step == "type") {
                SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wideFromUtf8(value).c_str()));
            }
        }
    }
    return 0;
}
