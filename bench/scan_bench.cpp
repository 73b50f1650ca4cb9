// How long a scan takes where there is no reader, on the real device, port map and clock:
//  1. 32 ports none of which exists (an empty ports/ folder, then 32 links to nothing);
//     target: under 50 ms for the whole scan.
//  2. chkLock ticked over N pseudo-terminals with nobody at the far end; target: within 5 % of
//     2 x (24 + 120) ms per port plus the requests' transmission.
// Usage: scan_bench [N silent ports, default 4] [repetitions of the absent-port sweep, default 20]
#include "bench/figure.h"
#include "link/clock.h"
#include "link/port_map_linux.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "tests/support/pty.h"
#include "tests/support/recording_controls.h"
#include "tests/support/sim_process.h"
#include "settings/settings_file_store.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using namespace tempik;
using namespace tempik::testing;
using namespace tempik::bench;

namespace {

// One scan in configFolder with chkLock as given; returns its time in ms.
double timedScan(const std::string& configFolder, bool lockTicked, bool& found)
{
    PosixSerialDevice device;
    SystemClock clock;
    LinuxPortMap ports(configFolder);
    ReaderLink link(device, clock, ports);
    SettingsFileStore store(configFolder);
    Settings settings;
    ReaderSession session{link, settings, store};
    RecordingControls controls;
    controls.lock = lockTicked;
    ReaderOperations operations(session, controls);
    const auto start = Steady::now();
    found = operations.btnScanClick();
    return msSince(start);
}

void printSeries(const char* name, const Series& times)
{
    std::printf("%-44s median %8.3f  max %8.3f ms\n", name, times.median(), times.max());
}

} // namespace

int main(int argc, char** argv)
{
    const int ptyPorts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 4;
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    bool found = false;

    // Ports that do not exist cost only the failed open.
    {
        TempFolder folder;
        const std::string portsFolder = folder.path() + "/ports";
        mkdir(portsFolder.c_str(), 0755);
        Series empty, dangling;
        for (int i = 0; i < repetitions; ++i)
            empty.add(timedScan(folder.path(), false, found));
        for (int port = 1; port <= 32; ++port)
            symlink(("/nonexistent/ttyNONE" + std::to_string(port)).c_str(),
                    (portsFolder + "/COM" + std::to_string(port)).c_str());
        for (int i = 0; i < repetitions; ++i)
            dangling.add(timedScan(folder.path(), false, found));
        std::printf("Scan of 32 ports that do not exist, chkLock off, %d runs each:\n", repetitions);
        printSeries("  empty ports/ folder", empty);
        printSeries("  ports/COM1..32 linked to missing devices", dangling);
        printFigure("scan of 32 absent ports", dangling.max(), "ms", 0, "< 50 ms", "");
    }

    // Openable ports with no reader, chkLock ticked: two unanswered queries per port.
    {
        TempFolder folder;
        const std::string portsFolder = folder.path() + "/ports";
        mkdir(portsFolder.c_str(), 0755);
        std::vector<std::unique_ptr<PseudoTerminal>> lines;
        for (int port = 1; port <= ptyPorts; ++port) {
            lines.push_back(std::make_unique<PseudoTerminal>());
            symlink(lines.back()->slavePath().c_str(), (portsFolder + "/COM" + std::to_string(port)).c_str());
        }
        const double total = timedScan(folder.path(), true, found);
        // Two unanswered status queries a port. A pseudo-terminal has no baud-rate clock, so
        // the transmission term is nil here.
        const double floorMs = ptyPorts * 2.0 * (24 + 120);
        std::printf("Scan with chkLock over %d pseudo-terminal ports, no reader: %.1f ms, %.2f ms a port\n",
                    ptyPorts, total, total / ptyPorts);
        std::printf("  (a UART at 19200,e,8,1 adds 2 x %.1f ms of transmission a port)\n", transmissionMs(13, 19200));
        printFigure("sweep with chkLock, " + std::to_string(ptyPorts) + " silent ports", total, "ms", floorMs,
                    "<= 1.05", "2 x (24 ms of write pauses + 120 ms reply wait) a port");
    }
    return found ? 1 : 0;   // no reader anywhere: a find would be a fault
}
