// Whole operations against the simulated reader over a real pseudo-terminal, on the termios
// device, the system clock and the Linux port map: an accepted set operation (the password) and
// the icon title upload, each against the sum of its pauses and waits. The tone is not played.
// Usage: operation_bench [rounds of the set operation, default 10] [rounds of the upload, default 3]
#include "bench/figure.h"
#include "link/frame.h"
#include "tests/support/live_reader.h"

#include <cstdlib>
#include <fstream>

using namespace tempik;
using namespace tempik::bench;
using namespace tempik::testing;

namespace {

// A one-image, 1-bit, 128 x 16 icon with a checker pattern, so every block carries both colours.
void writeIcon(const std::string& path)
{
    std::string bytes(70, '\0');
    for (int row = 0; row < 16; ++row)
        for (int c = 0; c < 16; ++c)
            bytes += static_cast<char>(row % 2 ? 0xAA : 0x55);
    std::ofstream(path, std::ios::binary) << bytes;
}

} // namespace

int main(int argc, char** argv)
{
    const int setRounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int uploadRounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    SimSetup setup;
    setup.port = 1;
    setup.stateFile = false;
    LiveReader live(setup);
    if (!live.sim.ready()) {
        std::fprintf(stderr, "the simulated reader did not start: %s\n", live.sim.failure().c_str());
        return 1;
    }
    live.controls.lock = true;   // the reader is at the first line definition tried
    if (!live.operations.btnScanClick()) {
        std::fprintf(stderr, "the scan did not find the simulated reader\n");
        return 1;
    }

    // 100 ms, status query, 100 ms, the command: two requests and their pauses.
    const double setFloor = 100 + 24 + 100 + 24;
    live.controls.password = "1234";
    Series set;
    for (int i = 0; i < setRounds; ++i) {
        const auto start = Steady::now();
        const OperationOutcome outcome = live.operations.btnPasswordClick();
        set.add(msSince(start));
        if (outcome != OperationOutcome::accepted) {
            std::fprintf(stderr, "the password was not accepted\n");
            return 1;
        }
    }

    // Status query as above, then eight blocks each with its 10 ms spin and 200 ms pause, then
    // 200 ms and the mode command.
    const double uploadFloor = 100 + 24 + 100 + 8 * (24 + 10 + 200) + 200 + 24;
    TempFolder icons;
    live.controls.iconFile = icons.path() + "/title.ico";
    writeIcon(*live.controls.iconFile);
    Series upload;
    for (int i = 0; i < uploadRounds; ++i) {
        const auto start = Steady::now();
        const OperationOutcome outcome = live.operations.btnTitleIconClick();
        upload.add(msSince(start));
        if (outcome != OperationOutcome::accepted) {
            std::fprintf(stderr, "the icon title was not accepted\n");
            return 1;
        }
    }

    // What a UART at 19200,e,8,1 would add: every request and both awaited replies.
    const size_t statusBytes = buildRequestFrame("0000AS").size() + buildReplyFrame("000100" "SIMSN001").size();
    const size_t setBytes = statusBytes + buildRequestFrame("0000BF1234").size() + buildReplyFrame("000100BFOK").size();
    const size_t uploadBytes = statusBytes + 8 * buildRequestFrame("0000BB0" + std::string(64, '0')).size() +
                               buildRequestFrame("0000BA2").size() + buildReplyFrame("000100BAOK").size();
    std::printf("operations against tempik-sim on a pseudo-terminal, median (max)\n");
    std::printf("  accepted set operation  %8.2f ms (%8.2f), %d rounds; a UART at 19200 adds %.1f ms\n",
                set.median(), set.max(), setRounds, transmissionMs(setBytes, 19200));
    std::printf("  icon title upload       %8.2f ms (%8.2f), %d rounds; a UART at 19200 adds %.1f ms\n",
                upload.median(), upload.max(), uploadRounds, transmissionMs(uploadBytes, 19200));
    printFigure("accepted set operation", set.median(), "ms", setFloor, "<= 1.05",
                "100 + 24 + 100 + 24 ms of pauses");
    printFigure("icon title upload", upload.median(), "ms", uploadFloor, "<= 1.05",
                "100 + 24 + 100 + 8 x (24 + 10 + 200) + 200 + 24 ms");
    return 0;
}
