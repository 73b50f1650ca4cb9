// tempik-config: the window of the reader configuration tool. No command-line options; the
// configuration folder is the platform's ($XDG_CONFIG_HOME/KESTO on Linux).
#include "app/platform.h"
#include "ui/window/application.h"
#include "ui/window/frm_module.h"
#include "ui/window/icon_file_chooser.h"
#include "ui/window/tone.h"

#include <QApplication>

#include <exception>

int main(int argc, char** argv)
{
    // No options: Qt's own (-reverse, -qwindowgeometry, -platform ...) would turn or move the
    // window, so Qt sees only the program's name (its environment variables still apply).
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication application(qtArgc, argv);
    try {
        tempik::setUpApplication(application);
        tempik::PlatformServices platform;
        const std::unique_ptr<tempik::Tone> tone = tempik::makeSystemTone();
        tempik::DialogIconFileChooser iconFiles;
        tempik::TfrmModule frmModule(
            {*platform.device, platform.clock, *platform.ports, *platform.store, *tone, iconFiles});
        frmModule.show();
        QApplication::exec();
    } catch (const std::exception& error) {
        tempik::showError(nullptr, QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
