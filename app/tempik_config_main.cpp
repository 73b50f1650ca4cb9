// tempik-config: the window of the reader configuration tool. No command-line options but
// --help; the configuration folder is the platform's ($XDG_CONFIG_HOME/KESTO on Linux).
#include "app/platform.h"
#include "app/stop_signals.h"
#include "ui/qt/application.h"
#include "ui/qt/frm_module.h"
#include "ui/qt/icon_file_chooser.h"
#include "ui/form/tone.h"

#include <QApplication>
#include <QSocketNotifier>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>

namespace {

constexpr const char* usage =
    "Usage: tempik-config\n"
    "Opens the window that finds a TEMPIK punch-card reader on a serial port and changes its\n"
    "settings, one per button. It takes no options; the ports are those of\n"
    "$XDG_CONFIG_HOME/KESTO/ports (or the machine's), the settings live in\n"
    "$XDG_CONFIG_HOME/KESTO/TEMPIKConfig.reg. For scripts, use tempikctl.\n";

bool hasValue(const char* name)
{
    const char* value = std::getenv(name);
    return value && *value;
}

// Qt's own message for a missing display ends in an abort: say what is missing instead. A
// platform chosen in QT_QPA_PLATFORM other than X11 and Wayland needs neither.
bool displayReachable()
{
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    const bool desktopPlatform = !platform || !*platform || std::strncmp(platform, "xcb", 3) == 0
                                 || std::strncmp(platform, "wayland", 7) == 0;
    return !desktopPlatform || hasValue("DISPLAY") || hasValue("WAYLAND_DISPLAY");
}

} // namespace

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
    }
    if (!displayReachable()) {
        std::fputs("tempik-config: no display to open the window on: neither DISPLAY (X11) nor WAYLAND_DISPLAY "
                   "is set.\nRun it in a desktop session, or use tempikctl on a console.\n", stderr);
        return 1;
    }
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
