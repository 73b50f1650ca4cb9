#pragma once
// Command line of tempik-sim: the starting state, the files it writes, the faults it shows.
#include "sim/fault_options.h"

#include <string>
#include <vector>

namespace tempik::sim {

struct SimOptions {
    std::string line = "19200,e,8,1";
    std::string identifier = "0001";
    std::string serial = "20261208";
    std::string version = "01.40-01";
    std::string stateFile;     // empty: none
    std::string linkPath;      // empty: none
    bool verbose = false;      // one line per request on standard error
    bool help = false;
    FaultOptions faults;
};

struct ParsedOptions {
    bool ok = false;
    std::string error;         // when not ok: what is wrong, in one line
    SimOptions options;
};

// args without the program name. Accepts "--name value" and "--name=value".
ParsedOptions parseOptions(const std::vector<std::string>& args);

std::string helpText();

} // namespace tempik::sim
