// Start-up figures of the window: the program's own set-up up to the first shown window, then
// the time since the launch (given by the caller in nanoseconds since the epoch) and the
// resident memory, printed as "startup_ms=... rss_kb=...".
#include "app/platform.h"
#include "ui/qt/application.h"
#include "ui/qt/frm_module.h"
#include "ui/qt/icon_file_chooser.h"
#include "ui/form/tone.h"

#include <QApplication>
#include <QFile>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').front().toLong();
    }
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    const char* launched = std::getenv("TEMPIK_LAUNCH_NS");
    QApplication application(argc, argv);
    tempik::setUpApplication(application);
    tempik::PlatformServices platform;
    const std::unique_ptr<tempik::Tone> tone = tempik::makeSystemTone();
    tempik::DialogIconFileChooser iconFiles;
    tempik::TfrmModule frmModule({*platform.device, platform.clock, *platform.ports, *platform.store, *tone, iconFiles});
    frmModule.show();
    // After the first pass of the event loop the window has been painted.
    QTimer::singleShot(0, [&] {
        const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                             std::chrono::system_clock::now().time_since_epoch()).count();
        const double ms = launched ? static_cast<double>(now - std::atoll(launched)) / 1e6 : -1.0;
        std::printf("startup_ms=%.1f rss_kb=%ld visible=%d\n", ms, residentKb(), frmModule.isVisible() ? 1 : 0);
        frmModule.form().click("btnExit");   // the only way out of the window
    });
    QApplication::exec();
    return 0;
}
