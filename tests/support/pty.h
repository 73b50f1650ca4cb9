#pragma once
// A real pseudo-terminal pair for tests: the program under test opens the slave path as its
// serial port, the test plays the far end of the line on the master descriptor. And another
// program holding a serial port.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <sys/types.h>
#include <termios.h>

namespace tempik::testing {

class PseudoTerminal {
public:
    // Opens a master (posix_openpt) and unlocks its slave. The master side of a Linux
    // pseudo-terminal is raw already; termios calls on the master reach the slave's termios,
    // so the slave keeps whatever the program under test sets. Throws std::runtime_error.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return master_; }
    const std::string& slavePath() const { return slavePath_; }
    bool masterOpen() const { return master_ >= 0; }

    // Closes the master: the slave then reads EIO and polls POLLHUP (a pulled adapter).
    void closeMaster();

    // Keeps a descriptor of the slave open in the test (opened O_NOCTTY), so the master does
    // not read EIO while the program under test has the slave closed, and so the test can
    // read or set the slave's termios. Returns that descriptor; closed with the object.
    int holdSlave();
    int heldSlave() const { return slave_; }

    // Writes all bytes to the master; false if the master refused them.
    bool write(const std::vector<uint8_t>& bytes);
    bool write(const std::string& bytes);

    // Reads from the master until count bytes have arrived or timeoutMs has passed.
    std::vector<uint8_t> readExactly(size_t count, int timeoutMs);
    // Reads from the master until quietMs pass without a byte, or timeoutMs in all.
    std::vector<uint8_t> readAvailable(int timeoutMs, int quietMs = 20);

    // The termios of the slave as the kernel holds it (through the held slave, or the master).
    struct termios slaveTermios();
    // Output speed the slave's user set (B9600, ...), as tcgetattr on the master shows it.
    speed_t masterSpeed();

private:
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
};

// Another program holding a serial port: a child process that opens the device and takes the
// exclusive lock (flock, unless lock is false) and, with exclusiveMode, exclusive mode
// (TIOCEXCL) the way our own device does, and keeps them until released.
class PortHolder {
public:
    // Returns once the child holds the port; held() tells whether it managed to.
    explicit PortHolder(const std::string& devicePath, bool exclusiveMode = true, bool lock = true);
    ~PortHolder() { release(); }
    PortHolder(const PortHolder&) = delete;
    PortHolder& operator=(const PortHolder&) = delete;

    bool held() const { return held_; }
    // Lets the child drop the port and end; waits for it.
    void release();

private:
    pid_t child_ = -1;
    int releaseFd_ = -1;
    bool held_ = false;
};

} // namespace tempik::testing
