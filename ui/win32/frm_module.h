#pragma once
// The tool's window on Windows: the form with its native view, wired together. The view reports
// clicks, the identifier bar, the blink timer and close requests to the form; the form decides.
#include "ui/form/form_seams.h"
#include "ui/form/module_form.h"
#include "ui/win32/native_window.h"

#include <windows.h>

namespace tempik {

class TfrmModule {
public:
    // dpi 0: the monitor's; tests fix it.
    TfrmModule(HINSTANCE instance, const FormSeams& seams, int dpi = 0);

    // FormShow, then the window centred on the work area of its monitor.
    void show();
    int run() { return view_.run(); }

    ModuleForm& form() { return form_; }
    NativeWindow& view() { return view_; }

private:
    NativeWindow view_;
    ModuleForm form_;
};

} // namespace tempik
