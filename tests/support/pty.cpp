#include "tests/support/pty.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tempik::testing {

namespace {

using SteadyClock = std::chrono::steady_clock;

int millisecondsUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// One poll-and-read step on fd; appends what arrived. False when nothing arrived in waitMs
// or the other side is closed.
bool readSome(int fd, int waitMs, std::vector<uint8_t>& into, size_t maxBytes)
{
    pollfd p{fd, POLLIN, 0};
    const int ready = poll(&p, 1, waitMs);
    if (ready <= 0 || !(p.revents & POLLIN))
        return false;
    uint8_t chunk[256];
    const ssize_t n = read(fd, chunk, std::min(sizeof chunk, maxBytes));
    if (n <= 0)
        return false;
    into.insert(into.end(), chunk, chunk + n);
    return true;
}

} // namespace

PseudoTerminal::PseudoTerminal()
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0)
        throw std::runtime_error(std::string("posix_openpt: ") + std::strerror(errno));
    char name[128] = {};
    if (grantpt(master_) != 0 || unlockpt(master_) != 0 || ptsname_r(master_, name, sizeof name) != 0) {
        const int error = errno;
        ::close(master_);
        throw std::runtime_error(std::string("pseudo-terminal set-up: ") + std::strerror(error));
    }
    slavePath_ = name;
    // The master's own flags decide nothing about the data, but keep it non-blocking so a
    // test can never hang on it.
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
}

PseudoTerminal::~PseudoTerminal()
{
    if (slave_ >= 0)
        ::close(slave_);
    closeMaster();
}

void PseudoTerminal::closeMaster()
{
    if (master_ >= 0)
        ::close(master_);
    master_ = -1;
}

int PseudoTerminal::holdSlave()
{
    if (slave_ < 0)
        slave_ = ::open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (slave_ < 0)
        throw std::runtime_error("cannot open " + slavePath_ + ": " + std::strerror(errno));
    return slave_;
}

bool PseudoTerminal::write(const std::vector<uint8_t>& bytes)
{
    size_t done = 0;
    const auto deadline = SteadyClock::now() + std::chrono::seconds(2);
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno == EAGAIN) {
            pollfd p{master_, POLLOUT, 0};
            if (poll(&p, 1, millisecondsUntil(deadline)) > 0)
                continue;
        }
        return false;
    }
    return true;
}

bool PseudoTerminal::write(const std::string& bytes)
{
    return write(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

std::vector<uint8_t> PseudoTerminal::readExactly(size_t count, int timeoutMs)
{
    std::vector<uint8_t> bytes;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (bytes.size() < count && SteadyClock::now() < deadline) {
        if (!readSome(master_, std::max(1, millisecondsUntil(deadline)), bytes, count - bytes.size())) {
            // A slave nobody holds makes the master read EIO at once; do not spin on it.
            pollfd none{-1, 0, 0};
            poll(&none, 0, 1);
        }
    }
    return bytes;
}

std::vector<uint8_t> PseudoTerminal::readAvailable(int timeoutMs, int quietMs)
{
    std::vector<uint8_t> bytes;
    const auto deadline = SteadyClock::now() + std::chrono::milliseconds(timeoutMs);
    while (SteadyClock::now() < deadline) {
        if (!readSome(master_, std::min(quietMs, std::max(1, millisecondsUntil(deadline))), bytes, 4096))
            break;
    }
    return bytes;
}

struct termios PseudoTerminal::slaveTermios()
{
    struct termios t {};
    tcgetattr(slave_ >= 0 ? slave_ : master_, &t);
    return t;
}

speed_t PseudoTerminal::masterSpeed()
{
    struct termios t {};
    tcgetattr(master_, &t);
    return cfgetospeed(&t);
}

PortHolder::PortHolder(const std::string& devicePath, bool exclusiveMode, bool lock)
{
    int ready[2], release[2];
    if (pipe2(ready, O_CLOEXEC) != 0)
        return;
    if (pipe2(release, O_CLOEXEC) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    child_ = fork();
    if (child_ == 0) {
        // Only async-signal-safe calls here: the test process has threads.
        ::close(ready[0]);
        ::close(release[1]);
        const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        const bool ok = fd >= 0 && (!lock || flock(fd, LOCK_EX | LOCK_NB) == 0) && (!exclusiveMode || ioctl(fd, TIOCEXCL) == 0);
        const char answer = ok ? '1' : '0';
        if (::write(ready[1], &answer, 1) != 1)
            _exit(2);
        char byte;
        while (::read(release[0], &byte, 1) < 0) {
        }
        if (fd >= 0)
            ioctl(fd, TIOCNXCL);
        _exit(ok ? 0 : 1);
    }
    ::close(ready[1]);
    ::close(release[0]);
    if (child_ < 0) {
        ::close(ready[0]);
        ::close(release[1]);
        return;
    }
    releaseFd_ = release[1];
    char answer = '0';
    held_ = ::read(ready[0], &answer, 1) == 1 && answer == '1';
    ::close(ready[0]);
}

void PortHolder::release()
{
    if (releaseFd_ >= 0)
        ::close(releaseFd_);   // the child's read ends
    releaseFd_ = -1;
    if (child_ > 0) {
        int status = 0;
        waitpid(child_, &status, 0);
    }
    child_ = -1;
    held_ = false;
}

} // namespace tempik::testing
