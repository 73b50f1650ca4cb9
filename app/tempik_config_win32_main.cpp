// tempik-config.exe: the window on Windows, the form with its native view. No command-line
// options; the settings are in the registry (HKEY_CURRENT_USER\Software\KESTO\TEMPIKConfig).
#include "app/platform.h"
#include "ui/form/tone.h"
#include "ui/form/window_texts.h"
#include "ui/win32/frm_module.h"
#include "link/wide_text.h"

#include <windows.h>

#include <exception>
#include <memory>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    // COM for the screen readers' names (and the file dialog's shell parts).
    const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    try {
        tempik::PlatformServices platform;
        const std::unique_ptr<tempik::Tone> tone = tempik::makeSystemTone();
        tempik::TfrmModule frmModule(instance, {*platform.device, platform.clock, *platform.ports, *platform.store, *tone});
        frmModule.show();
        frmModule.run();
    } catch (const std::exception& error) {
        // An error that escapes start-up or the loop: the system's error box, then a normal end.
        MessageBoxW(nullptr, tempik::wideFromUtf8(error.what()).c_str(), tempik::wideFromUtf8(tempik::applicationTitle).c_str(),
                    MB_OK | MB_ICONERROR);
    }
    if (com)
        CoUninitialize();
    return 0;
}
