// tempikctl --all against eight simulated readers on eight pseudo-terminal ports: the wall time
// of one set command on every reader at once, as a ratio to one port's scan and set (what the
// threads should bring it down to), and the eight run one after another for comparison; then
// the same for a profile of 12 settings (apply).
// Usage: ctl_all_bench [readers, default 8] [rounds, default 3]
#include "bench/figure.h"
#include "tests/support/sim_process.h"

#include <cstdlib>
#include <fstream>
#include <memory>

using namespace tempik;
using namespace tempik::bench;
using namespace tempik::testing;

namespace {

// One tempikctl run; its time, or a negative value when it did not succeed.
double timedCtl(const std::vector<std::string>& args)
{
    const auto start = Steady::now();
    const ProgramResult result = runProgram(ctlBinaryPath(), args, std::chrono::seconds(60));
    const double ms = msSince(start);
    if (result.exitCode != 0) {
        std::fprintf(stderr, "tempikctl failed (%d): %s%s\n", result.exitCode, result.out.c_str(), result.err.c_str());
        return -1;
    }
    return ms;
}

} // namespace

int main(int argc, char** argv)
{
    const int readers = argc > 1 ? std::max(1, std::atoi(argv[1])) : 8;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;

    TempFolder root;
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    std::vector<std::unique_ptr<SimProcess>> sims;
    for (int port = 1; port <= readers; ++port) {
        SimSetup setup;
        setup.port = port;
        setup.configRoot = root.path();
        setup.stateFile = false;
        sims.push_back(std::make_unique<SimProcess>(setup));
        if (!sims.back()->ready()) {
            std::fprintf(stderr, "the simulated reader on COM%d did not start: %s\n", port, sims.back()->failure().c_str());
            return 1;
        }
    }

    // Twelve settings; no line definition or factory defaults, so every round finds the same.
    const std::string profile = root.path() + "/bench.toml";
    std::ofstream(profile) << "[reader]\ntime = \"24h\"\nlanguage = \"english\"\npassword = \"6082\"\nvolume = 5\n"
                              "card-type = 32\nbacklight = \"120\"\nwork-time = \"010\"\nidle = \"time\"\n"
                              "title-mode = \"none\"\ntitle = \"Bench\"\ninstall = \"Hall\"\nmessage = \"Welcome\"\n";

    Series one, all, oneAfterAnother, oneApply, allApply;
    for (int round = 0; round < rounds; ++round) {
        const double single = timedCtl({"--all", "--ports", "1", "set-volume", "5"});
        const double every = timedCtl({"--all", "set-volume", "5"});
        double sum = 0;
        for (int port = 1; port <= readers && sum >= 0; ++port) {
            const double ms = timedCtl({"--all", "--ports", std::to_string(port), "set-volume", "5"});
            sum = ms < 0 ? -1 : sum + ms;
        }
        if (single < 0 || every < 0 || sum < 0)
            return 1;
        const double singleApply = timedCtl({"--all", "--ports", "1", "apply", profile});
        const double everyApply = timedCtl({"--all", "apply", profile});
        if (singleApply < 0 || everyApply < 0)
            return 1;
        oneApply.add(singleApply);
        allApply.add(everyApply);
        one.add(single);
        all.add(every);
        oneAfterAnother.add(sum);
    }
    const std::string n = std::to_string(readers);
    printFigure("tempikctl --all set-volume 5, " + n + " readers", all.median(), "ms", one.median(), "<= 1.2",
                "one port's scan and set");
    printFigure("the same " + n + " readers one after another", oneAfterAnother.median(), "ms", one.median(), "",
                "one port's scan and set");
    printFigure("one port's scan and set (--all --ports 1)", one.median(), "ms", 0, "", "");
    printFigure("tempikctl --all apply, 12 settings, " + n + " readers", allApply.median(), "ms", oneApply.median(),
                "<= 1.2", "one port's scan and apply");
    return 0;
}
