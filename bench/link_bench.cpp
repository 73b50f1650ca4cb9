// Figures of the link on a real pseudo-terminal: what writing a request costs against its
// floor, how long an unanswered exchange takes, and how much CPU the reply wait burns; what
// the late wake-ups of a run of pauses add up to, and an exchange whose device vanishes.
#include "bench/figure.h"
#include "bench/request_writes.h"
#include "link/frame.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "tests/support/fake_device.h"
#include "tests/support/far_end.h"

#include <algorithm>
#include <sys/resource.h>
#include <thread>

namespace {

using namespace tempik;
using namespace tempik::bench;

double threadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

// The far end takes the request, then closes its master 30 ms into the reply wait.
void vanishingExchanges(int rounds, double floorMs)
{
    Series took, reads;
    for (int i = 0; i < rounds; ++i) {
        testing::PseudoTerminal pty;
        PosixSerialDevice real;
        testing::CountingDevice device(real);
        SystemClock clock;
        testing::PathPortMap ports;
        ports.paths[1] = pty.slavePath();
        ReaderLink link(device, clock, ports);
        if (!link.openChannel(1, "19200,e,8,1"))
            continue;
        std::thread far([&] {
            pty.readExactly(13, 1000);
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
            pty.closeMaster();
        });
        const auto start = Steady::now();
        link.sendCommand("0000AS", true);
        took.add(msSince(start));
        far.join();
        reads.add(device.reads);
        link.closeChannel();
    }
    std::printf("  device vanishing     %7.2f ms (%7.2f), %.0f reads in the wait\n", took.median(), took.max(),
                reads.median());
    printFigure("exchange whose device vanishes in the wait", took.median(), "ms", floorMs, "< 200 ms",
                "24 ms of write pauses + 120 ms reply wait");
    printFigure("empty reads in that wait (each 1 ms)", reads.median(), "reads", 0, "60 to 125", "");
}

// Twelve pauses of 2 ms back to back, a fresh clock each run: what their late wake-ups add to
// the 24 ms, best of 5 runs (a loaded machine can stall any one run).
void runOfPauses()
{
    double bestExcessMs = 1e9;
    for (int run = 0; run < 5; ++run) {
        SystemClock clock;
        const auto start = Steady::now();
        for (int i = 0; i < 12; ++i)
            clock.sleepMs(2);
        bestExcessMs = std::min(bestExcessMs, msSince(start) - 24.0);
    }
    std::printf("  run of 12 pauses     %7.3f ms over its 24 ms, best of 5\n", bestExcessMs);
    printFigure("late wake-ups of a run of 12 pauses of 2 ms", bestExcessMs, "ms", 0, "< 0.25 ms", "");
}

} // namespace

int main()
{
    constexpr int rounds = 15;
    const std::string payload = "0000AS";
    const std::vector<uint8_t> frame = buildRequestFrame(payload);
    // A pseudo-terminal sends in no time, so the floors are the pauses and waits alone.
    constexpr double writePausesMs = 24.0;
    constexpr double replyWaitMs = 120.0;

    testing::PseudoTerminal pty;
    pty.holdSlave();
    PosixSerialDevice device;
    SystemClock clock;
    testing::PathPortMap ports;
    ports.paths[1] = pty.slavePath();
    ReaderLink link(device, clock, ports);
    if (!link.openChannel(1, "19200,e,8,1")) {
        std::fprintf(stderr, "cannot open %s: %s\n", pty.slavePath().c_str(), describe(link.lastFailure()));
        return 1;
    }
    // The far end reads everything and answers nothing, so writes never back up.
    testing::FarEnd far(pty, [](const std::string&, int) { return testing::FarEnd::Answer{}; });

    const Series write = timeRequestWrites(link, frame, payload.size(), rounds);

    Series withoutReply;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        link.sendCommand(payload, false);
        withoutReply.add(msSince(start));
    }

    Series unanswered, cpuShare;
    for (int i = 0; i < rounds; ++i) {
        const double cpuStart = threadCpuMs();
        const auto start = Steady::now();
        link.sendCommand(payload, true);
        unanswered.add(msSince(start));
        // The whole exchange's CPU against the wait alone: an upper bound for the wait.
        cpuShare.add((threadCpuMs() - cpuStart) / replyWaitMs * 100.0);
    }
    link.closeChannel();

    std::printf("link on a pseudo-terminal, %d rounds each, median (max)\n", rounds);
    std::printf("  request write        %7.2f ms (%7.2f)\n", write.median(), write.max());
    std::printf("  without reply        %7.2f ms (%7.2f)\n", withoutReply.median(), withoutReply.max());
    std::printf("  unanswered exchange  %7.2f ms (%7.2f)\n", unanswered.median(), unanswered.max());
    std::printf("  CPU in a reply wait  %7.2f %% (%7.2f) of one core\n", cpuShare.median(), cpuShare.max());
    std::printf("  (a UART at 19200,e,8,1 adds %.2f ms to send these %zu bytes)\n",
                transmissionMs(frame.size(), 19200), frame.size());
    printFigure("request write", write.median(), "ms", writePausesMs, "<= 1.05", "24 ms of write pauses");
    printFigure("exchange without reply", withoutReply.median(), "ms", writePausesMs + 10, "<= 1.05",
                "24 ms of write pauses + 10 ms spin");
    printFigure("unanswered exchange", unanswered.median(), "ms", writePausesMs + replyWaitMs, "<= 1.05",
                "24 ms of write pauses + 120 ms reply wait");
    printFigure("CPU during a reply wait", cpuShare.median(), "% of a core", 0, "< 10 %", "");
    vanishingExchanges(5, writePausesMs + replyWaitMs);
    runOfPauses();
    return 0;
}
