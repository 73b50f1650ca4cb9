// tempik-config: the window of the reader configuration tool. No command-line options; the
// configuration folder is the platform's ($XDG_CONFIG_HOME/KESTO on Linux).
#include "app/platform.h"
#include "app/stop_signals.h"
#include "ui/qt/application.h"
#include "ui/qt/frm_module.h"
#include "ui/qt/icon_file_chooser.h"
#include "ui/form/tone.h"

#include <QApplication>
#include <QSocketNotifier>

#include <exception>
#include <memory>

int main(int argc, char** argv)
{
    // No options: Qt's own (-reverse, -qwindowgeometry, -platform ...) would turn or move the
    // window, so Qt sees only the program's name (its environment variables still apply).
    int qtArgc = argc > 0 ? 1 : 0;
    QApplication application(qtArgc, argv);
    // A signal ends the event loop once the operation under way has unwound and closed the port.
    const int stopFd = tempik::catchStopSignals();
    std::unique_ptr<QSocketNotifier> stopNotifier;
    if (stopFd >= 0) {
        stopNotifier = std::make_unique<QSocketNotifier>(stopFd, QSocketNotifier::Read);
        QObject::connect(stopNotifier.get(), &QSocketNotifier::activated, [] { QCoreApplication::exit(1); });
    }
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
    tempik::endByStopSignal();
    return 0;
}
