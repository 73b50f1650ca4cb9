#pragma once
// The simulated reader's run: the pseudo-terminal, the optional port link and state file, and
// the loop that reads requests, answers them (late, when asked) and stops on SIGINT or SIGTERM.
#include "sim/options.h"

#include <ostream>

namespace tempik::sim {

// Runs until SIGINT, SIGTERM or SIGHUP; returns the exit code (0, or 1 when the pseudo-terminal,
// link or state file cannot be made). "ready <slave path>" goes to out once the port is usable.
int runSimulator(const SimOptions& options, std::ostream& out, std::ostream& err);

} // namespace tempik::sim
