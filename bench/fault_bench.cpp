// How long the real tempikctl takes when things go wrong under it (the cases of the fault tests,
// the window's and tempikctl's): the reader vanishes in a set operation, a scan or an icon
// upload, the port is held by another program or unplugged, the settings file is garbage. Each
// bound is what the operation's pauses and reply waits allow; none of them may hang. And one
// exchange whose far end floods it with bytes that never end in a CR.
// Usage: fault_bench [rounds of each case, default 3]
#include "bench/figure.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "tests/support/fake_device.h"
#include "settings/settings_file_store.h"
#include "tests/support/far_end.h"
#include "tests/support/sim_process.h"

#include <atomic>
#include <cstdlib>
#include <optional>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

using namespace tempik;
using namespace tempik::bench;
using namespace tempik::testing;

namespace {

struct Case {
    std::string name;
    std::vector<std::string> args;
    FarEnd::Script reader;        // the far end on COM1; empty: COM1 is unplugged
    size_t vanishAfterBytes = 0;
    double boundMs = 0;
    std::string storeFile{};      // the settings file; empty: one that remembers COM1
    bool held = false;            // another program holds COM1
    bool readerOnComTwo = false;  // tempik-sim answers on COM2
};

// A status query is 13 bytes, a picture block 78.
std::vector<Case> cases(const std::string& icon)
{
    const auto vanish = [](const std::string&, int) { return FarEnd::Answer{{}, true}; };
    const auto vanishAtCommand = [](const std::string& payload, int index) {
        return payload == "0000AS" ? FarEnd::answering(payload, index) : FarEnd::Answer{{}, true};
    };
    const std::string none = "REGEDIT4\n";
    return {
        {"set operation, device vanishes at the first byte of the command", {"set-volume", "3"}, FarEnd::answering, 14, 1200},
        {"set operation, device vanishes before the command's reply", {"set-volume", "3"}, vanishAtCommand, 0, 1200},
        {"set operation, device vanishes in the command frame", {"set-volume", "3"}, FarEnd::answering, 18, 1200},
        {"scan, device vanishes after the first query", {"scan"}, vanish, 0, 1500, none},
        {"scan, device vanishes at the version query", {"scan"}, FarEnd::answering, 14, 1500, none},
        {"scan, device vanishes at the remembered port", {"scan"}, vanish, 0, 1500, {}, false, true},
        {"icon upload, device vanishes at the first block", {"set-icon", icon}, FarEnd::answering, 14, 3500},
        {"icon upload, device vanishes in the third block", {"set-icon", icon}, FarEnd::answering, 13 + 2 * 78 + 30, 3500},
        {"set operation on a held port", {"set-volume", "3"}, FarEnd::answering, 0, 500, {}, true},
        {"scan past a held port", {"scan"}, FarEnd::answering, 0, 500, {}, true},
        {"set operation after the reader was unplugged", {"set-volume", "3"}, {}, 0, 1000},
        {"scan after the reader was unplugged", {"scan"}, {}, 0, 1000},
        {"scan over a settings file of random bytes", {"scan"}, FarEnd::answering, 0, 1500, randomBytes(64 * 1024, 11)},
        {"scan over an oversized settings file", {"scan"}, FarEnd::answering, 0, 1500, randomBytes(2 * 1024 * 1024, 13)},
    };
}

double timedRun(const Case& c)
{
    TempFolder root;
    const std::string folder = root.path() + "/KESTO";
    mkdir(folder.c_str(), 0755);
    mkdir((folder + "/ports").c_str(), 0755);
    writeFile(folder + "/" + SettingsFileStore::fileName,
              c.storeFile.empty() ? std::string("REGEDIT4\n\n[") + SettingsFileStore::keyPath +
                                        "]\n\"ScanCommNo\"=dword:00000001\n"
                                  : c.storeFile);
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    PseudoTerminal pty;
    symlink(pty.slavePath().c_str(), (folder + "/ports/COM1").c_str());
    std::optional<SimProcess> sim;
    if (c.readerOnComTwo)
        sim.emplace(SimSetup{{}, 2, false, root.path()});
    std::optional<PortHolder> holder;
    if (c.held)
        holder.emplace(pty.slavePath());
    std::optional<FarEnd> far;
    if (c.reader)
        far.emplace(pty, c.reader, c.vanishAfterBytes);
    else
        pty.closeMaster();
    const auto start = Steady::now();
    const ProgramResult result = runProgram(ctlBinaryPath(), c.args);
    const double ms = msSince(start);
    if (result.timedOut || result.signal)
        std::fprintf(stderr, "%s: %s\n", c.name.c_str(), result.timedOut ? "timed out" : "killed by a signal");
    return ms;
}

// The far end takes the request, then sends ETX, data and EOT over and over, never a CR, as
// fast as the pseudo-terminal takes them. The reply wait must still end at its deadline.
void floodedExchanges(int rounds)
{
    Series took;
    for (int i = 0; i < rounds; ++i) {
        PseudoTerminal pty;
        PosixSerialDevice device;
        SystemClock clock;
        PathPortMap ports;
        ports.paths[1] = pty.slavePath();
        ReaderLink link(device, clock, ports);
        if (!link.openChannel(1, "19200,e,8,1"))
            continue;
        std::atomic<bool> stop{false};
        std::thread far([&] {
            pty.readExactly(13, 1000);
            const std::vector<uint8_t> burst = {0x03, 'f', 'l', 'o', 'o', 'd', 0x04, '1', '2'};
            while (!stop)
                pty.write(burst);
        });
        const auto start = Steady::now();
        link.sendCommand("0000AS", true);
        took.add(msSince(start));
        stop = true;
        far.join();
        link.closeChannel();
    }
    std::printf("  %-66s %8.1f ms (%8.1f)\n", "exchange under a flood of bytes without CR", took.median(), took.max());
    printFigure("exchange under a flood of bytes without CR", took.median(), "ms", 144, "<= 1.05",
                "24 ms of write pauses + 120 ms reply wait");
}

} // namespace

int main(int argc, char** argv)
{
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    TempFolder icons;
    const std::string icon = icons.path() + "/dot.ico";
    writeFile(icon, std::string(70, '\0') + std::string(256, '\x7F'));
    std::printf("tempikctl when things go wrong, %d rounds each, median (max)\n", rounds);
    for (const Case& c : cases(icon)) {
        Series took;
        for (int i = 0; i < rounds; ++i)
            took.add(timedRun(c));
        std::printf("  %-66s %8.1f ms (%8.1f)\n", c.name.c_str(), took.median(), took.max());
        printFigure("tempikctl " + c.name, took.median(), "ms", 0, "< " + std::to_string(int(c.boundMs)) + " ms", "");
    }
    floodedExchanges(std::max(rounds, 5));
    return 0;
}
