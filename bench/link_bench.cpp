// Figures of the link on a real pseudo-terminal: what writing a request costs against its
// floor, how long an unanswered exchange takes, and how much CPU the reply wait burns.
#include "link/frame.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "tests/support/pty.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <sys/resource.h>
#include <thread>
#include <vector>

namespace {

using namespace tempik;
using Steady = std::chrono::steady_clock;

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

double threadCpuMs()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000.0 +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1000.0;
}

class OnePort final : public PortMap {
public:
    explicit OnePort(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> devicePath(int n) const override
    {
        return n == 1 ? std::optional<std::string>(path_) : std::nullopt;
    }

private:
    std::string path_;
};

struct Figures {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median()
    {
        std::sort(values.begin(), values.end());
        return values[values.size() / 2];
    }
    double max() { return *std::max_element(values.begin(), values.end()); }
};

// The far end reads everything and answers nothing, so writes never back up.
class SilentReader {
public:
    explicit SilentReader(testing::PseudoTerminal& pty)
        : thread_([this, &pty] {
              while (!stop_)
                  pty.readAvailable(20, 5);
          })
    {
    }
    ~SilentReader()
    {
        stop_ = true;
        thread_.join();
    }

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

} // namespace

int main()
{
    constexpr int rounds = 15;
    constexpr double bitsPerByte = 10;  // start, 8 data, stop
    constexpr double speed = 19200;
    const std::string payload = "0000AS";
    const std::vector<uint8_t> frame = buildRequestFrame(payload);
    const double transmissionMs = frame.size() * bitsPerByte / speed * 1000.0;
    const double writeFloorMs = 24.0 + transmissionMs;
    const double unansweredFloorMs = 24.0 + 120.0;

    testing::PseudoTerminal pty;
    pty.holdSlave();
    PosixSerialDevice device;
    SystemClock clock;
    OnePort ports(pty.slavePath());
    ReaderLink link(device, clock, ports);
    if (!link.openChannel(1, "19200,e,8,1")) {
        std::fprintf(stderr, "cannot open %s: %s\n", pty.slavePath().c_str(), describe(link.lastFailure()));
        return 1;
    }
    SilentReader far(pty);

    // Writing one request, the way the exchange writes it.
    Figures write;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        link.writeByte(SOH);
        link.writeBlock(frame.data() + 1, payload.size());
        for (size_t k = payload.size() + 1; k < frame.size(); ++k)
            link.writeByte(frame[k]);
        write.add(msSince(start));
    }

    Figures withoutReply;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Steady::now();
        link.sendCommand(payload, false);
        withoutReply.add(msSince(start));
    }

    Figures unanswered, cpuShare;
    for (int i = 0; i < rounds; ++i) {
        const double cpuStart = threadCpuMs();
        const auto start = Steady::now();
        link.sendCommand(payload, true);
        const double took = msSince(start);
        unanswered.add(took);
        // The whole exchange's CPU against the wait alone: an upper bound for the wait.
        cpuShare.add((threadCpuMs() - cpuStart) / 120.0 * 100.0);
    }
    link.closeChannel();

    std::printf("link on a pseudo-terminal, %d rounds each, median (max)\n", rounds);
    std::printf("  request write      %6.2f ms (%6.2f)  floor %.2f ms (24 ms pauses + %.2f ms for %zu bytes at 19200)"
                "  ratio %.3f (%.3f)  target <= 1.05\n",
                write.median(), write.max(), writeFloorMs, transmissionMs, frame.size(), write.median() / writeFloorMs,
                write.max() / writeFloorMs);
    std::printf("    (a pseudo-terminal sends at no speed: over the 24 ms of pauses alone, ratio %.3f)\n",
                write.median() / 24.0);
    std::printf("  without reply      %6.2f ms (%6.2f)  floor %.2f ms  ratio %.3f (%.3f)\n", withoutReply.median(),
                withoutReply.max(), writeFloorMs + 10, withoutReply.median() / (writeFloorMs + 10),
                withoutReply.max() / (writeFloorMs + 10));
    std::printf("  unanswered exchange %6.2f ms (%6.2f)  floor %.0f ms  ratio %.3f (%.3f)  target <= 1.05\n",
                unanswered.median(), unanswered.max(), unansweredFloorMs, unanswered.median() / unansweredFloorMs,
                unanswered.max() / unansweredFloorMs);
    std::printf("  CPU in a reply wait  %5.2f %% (%5.2f) of one core  target < 10 %%\n", cpuShare.median(),
                cpuShare.max());
    return 0;
}
