// Figures of the Windows link under Wine: what writing a request costs against its floor, and
// how long an unanswered exchange takes, on a COM port that bench/wine_bench.sh maps to a
// pseudo-terminal whose far end takes everything and answers nothing. Where the Linux figures
// show the POSIX clock, these show the Windows one (timer period, sleeps, the 1 ms read time-out).
#include "bench/figure.h"
#include "bench/request_writes.h"
#include "link/frame.h"
#include "link/port_map_win32.h"
#include "link/reader_link.h"

#include <cstdlib>

using namespace tempik;
using namespace tempik::bench;

int main(int argc, char** argv)
{
    const int port = argc > 1 ? std::atoi(argv[1]) : 12;
    constexpr int rounds = 15;
    const std::string payload = "0000AS";
    const std::vector<uint8_t> frame = buildRequestFrame(payload);
    // A pseudo-terminal sends in no time, so the floors are the pauses and waits alone.
    constexpr double writePausesMs = 24.0;
    constexpr double replyWaitMs = 120.0;

    const std::unique_ptr<SerialDevice> device = makeSystemSerialDevice();
    SystemClock clock;
    WindowsPortMap ports;
    ReaderLink link(*device, clock, ports);
    if (!link.openChannel(port, "19200,e,8,1")) {
        std::fprintf(stderr, "cannot open %s: %s\n", portName(port).c_str(), describe(link.lastFailure()));
        return 1;
    }
    const Series write = timeRequestWrites(link, frame, payload.size(), rounds);
    Series unanswered;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        link.sendCommand(payload, true);
        unanswered.add(msSince(start));
    }
    link.closeChannel();

    std::printf("link on %s under Wine, %d rounds each, median (max)\n", portName(port).c_str(), rounds);
    std::printf("  request write        %7.2f ms (%7.2f)\n", write.median(), write.max());
    std::printf("  unanswered exchange  %7.2f ms (%7.2f)\n", unanswered.median(), unanswered.max());
    printFigure("request write under Wine", write.median(), "ms", writePausesMs, "<= 1.10", "24 ms of write pauses");
    printFigure("unanswered exchange under Wine", unanswered.median(), "ms", writePausesMs + replyWaitMs, "<= 1.10",
                "24 ms of write pauses + 120 ms reply wait");
    return 0;
}
