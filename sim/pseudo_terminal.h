#pragma once
// The simulated reader's end of the line: a pseudo-terminal master, plus a descriptor of the
// slave held open for the whole run, so the tool can open and close the slave freely and the
// reader can read the host's line speed from it.
#include <string>
#include <termios.h>

namespace tempik::sim {

class PseudoTerminal {
public:
    PseudoTerminal() = default;
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Opens the pair (non-blocking master) and sets the slave raw, so nothing the reader
    // writes is echoed or translated while no one has the port open. False with error set.
    bool open(std::string& error);

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }

    // The speed the host set on the slave, in bits per second (0 when unknown).
    unsigned hostSpeed() const;

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

} // namespace tempik::sim
