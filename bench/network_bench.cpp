// The network ports over loopback: the simulated reader behind a real ser2net on 127.0.0.1, as
// RFC 2217 and as a raw TCP port. An unanswered exchange and an accepted set operation (the
// password, channel opened and closed as the operation does) against the sum of their pauses
// and waits, as on a local port; and what opening the port costs (connect, and over RFC 2217
// the server's agreement to the option and its acknowledgement of the purge).
// Usage: network_bench [rounds, default 10]
#include "bench/figure.h"
#include "link/port_device.h"
#include "reader/operations.h"
#include "reader/session.h"
#include "settings/settings_file_store.h"
#include "tests/support/fake_device.h"
#include "tests/support/recording_controls.h"
#include "tests/support/ser2net.h"
#include "tests/support/sim_process.h"

#include <cstdlib>

using namespace tempik;
using namespace tempik::bench;
using namespace tempik::testing;

namespace {

constexpr double unansweredFloor = 24 + 120;
constexpr double setFloor = 100 + 24 + 100 + 24;

struct NetworkReader {
    explicit NetworkReader(const std::string& url, const std::string& folder) : store(folder)
    {
        ports.paths[1] = url;
        settings.link.ScanCommNo = 1;
        session.readerFound = true;
        controls.password = "1234";
    }
    std::unique_ptr<SerialDevice> device = makePortDevice();
    SystemClock clock;
    PathPortMap ports;
    ReaderLink link{*device, clock, ports};
    SettingsFileStore store;
    Settings settings;
    ReaderSession session{link, settings, store};
    RecordingControls controls;
    ReaderOperations operations{session, controls};
};

bool measure(const char* kind, const std::string& url, const std::string& folder, int rounds)
{
    NetworkReader reader(url, folder);
    Series unanswered, set, open;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        reader.link.openChannel(1, "19200,e,8,1");
        open.add(msSince(start));
        reader.link.closeChannel();
    }
    if (!reader.link.openChannel(1, "19200,e,8,1")) {
        std::fprintf(stderr, "cannot open %s: %s\n", url.c_str(), describe(reader.link.lastFailure()));
        return false;
    }
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        reader.link.sendCommand("9999AS", true);   // for another reader: unanswered
        unanswered.add(msSince(start));
    }
    reader.link.closeChannel();
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        const OperationOutcome outcome = reader.operations.btnPasswordClick();
        set.add(msSince(start));
        if (outcome != OperationOutcome::accepted) {
            std::fprintf(stderr, "the password was not accepted over %s\n", url.c_str());
            return false;
        }
    }
    std::printf("  %-8s open %5.2f ms (%5.2f), unanswered exchange %7.2f ms (%7.2f), accepted set operation "
                "%7.2f ms (%7.2f)\n", kind, open.median(), open.max(), unanswered.median(), unanswered.max(),
                set.median(), set.max());
    printFigure(std::string("unanswered exchange over ") + kind, unanswered.median(), "ms", unansweredFloor,
                "<= 1.05", "24 ms of write pauses + 120 ms reply wait");
    printFigure(std::string("accepted set operation over ") + kind, set.median(), "ms", setFloor, "<= 1.05",
                "100 + 24 + 100 + 24 ms of pauses");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    if (!Ser2net::installed()) {
        std::fprintf(stderr, "ser2net is not installed\n");
        return 1;
    }
    SimSetup setup;
    setup.port = 0;
    setup.stateFile = false;
    SimProcess sim(setup);
    if (!sim.ready()) {
        std::fprintf(stderr, "the simulated reader did not start: %s\n", sim.failure().c_str());
        return 1;
    }
    Ser2net server(sim.slavePath(), sim.configRoot(), "9600n81", "19200e81");
    if (!server.ready()) {
        std::fprintf(stderr, "%s\n", server.failure().c_str());
        return 1;
    }
    std::printf("network ports over loopback ser2net, %d rounds each, median (max)\n", rounds);
    const bool ok = measure("RFC 2217", server.rfc2217Url(), sim.configRoot(), rounds) &&
                    measure("raw TCP", server.socketUrl(), sim.configRoot(), rounds);
    return ok ? 0 : 1;
}
