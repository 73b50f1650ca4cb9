#include "link/serial_posix.h"

#include "link/clock.h"
#include "link/posix_wait.h"
#include "link/line_definition.h"
#include "link/port_locks_linux.h"
#include "link/stop_request.h"
#include "link/termios_speed.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik {

using posixWait::pollUntil;
using posixWait::sleepUntil;

namespace {

// A write that cannot make progress for this long is given up: a gone adapter must never
// hang the program. Far above the time any request takes at 4800 bits per second.
constexpr int64_t writeGiveUpNs = 2'000'000'000;
constexpr int64_t readWaitNs = 1'000'000;
constexpr int64_t drainStepNs = 100'000;

bool isGoneErrno(int error)
{
    return error == EIO || error == ENXIO || error == ENODEV || error == EPIPE;
}

// tcdrain waits without a bound while output cannot leave (output stopped, a wedged adapter).
// So wait for the queue to empty against the deadline first; tcdrain then waits only for the
// last characters in the UART, which the driver bounds itself. False when the deadline passed.
bool drainUntil(int fd, int64_t deadlineNs)
{
    for (;;) {
        int queued = 0;
        if (ioctl(fd, TIOCOUTQ, &queued) != 0 || queued == 0) {
            tcdrain(fd);
            return true;
        }
        if (monotonicNanoseconds() >= deadlineNs || stopRequested())
            return false;
        sleepUntil(monotonicNanoseconds() + drainStepNs);
    }
}

} // namespace

DeviceFailure failureFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENODEV:
    case ENXIO:
        return DeviceFailure::noSuchPort;
    case EACCES:
    case EPERM:
    case EROFS:
        return DeviceFailure::accessDenied;
    case EBUSY:
    case EWOULDBLOCK:
        return DeviceFailure::busy;
    case EIO:
        return DeviceFailure::gone;
    default:
        return DeviceFailure::other;
    }
}

void makeRaw(struct termios& line)
{
    // Not cfmakeraw: that would also reset parity and character size, which belong to the
    // line definition, and a definition that does not parse must leave them as they were.
    line.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF |
                                            IXANY | INPCK | IUCLC | IMAXBEL);
    line.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    line.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHOE | ECHOK | ECHONL | ICANON | ISIG | IEXTEN);
    line.c_cflag &= ~static_cast<tcflag_t>(CRTSCTS | HUPCL);
    line.c_cflag |= CLOCAL | CREAD;
}

bool applyLineDefinition(struct termios& line, const std::string& lineDefinition)
{
    const std::optional<LineDefinition> definition = parseLineDefinition(lineDefinition);
    const speed_t speed = definition && isStandardSpeed(definition->speed) ? termiosSpeed(definition->speed) : B0;
    if (speed == B0)
        return false;
    struct termios result = line;
    if (cfsetispeed(&result, speed) != 0 || cfsetospeed(&result, speed) != 0)
        return false;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    result.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB);
    result.c_cflag |= sizes[definition->dataBits - 5];
    if (definition->parity != 'n')
        result.c_cflag |= PARENB;
    // Mark and space are a sticky parity bit: PARODD then says which of the two.
    if (definition->parity == 'o' || definition->parity == 'm')
        result.c_cflag |= PARODD;
    if (definition->parity == 'm' || definition->parity == 's')
        result.c_cflag |= CMSPAR;
    if (definition->stopBits == 2)
        result.c_cflag |= CSTOPB;
    line = result;
    return true;
}

PosixSerialDevice::PosixSerialDevice(std::string lockFolder) : lockFolder_(std::move(lockFolder)) {}

PosixSerialDevice::~PosixSerialDevice()
{
    if (fd_ >= 0)
        close();
}

bool PosixSerialDevice::open(const std::string& path, const std::string& lineDefinition)
{
    if (fd_ >= 0)
        close();
    haveSavedTermios_ = false;

    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        failure_ = failureFromErrno(errno);
        return false;
    }
    auto refuse = [&](DeviceFailure why) {
        ::close(fd);  // also drops a lock taken above
        failure_ = why;
        return false;
    };
    if (!isatty(fd))
        return refuse(DeviceFailure::notSerial);
    struct stat node {};
    fstat(fd, &node);
    // minicom and others hold a port with a UUCP lock file alone.
    if (uucpLockHeld(lockFolder_, path))
        return refuse(DeviceFailure::busy);
    // The lock first: TIOCEXCL alone races with a second program opening at the same moment,
    // and root ignores TIOCEXCL, so the lock is what keeps two of us off one port. It ends
    // with its holder, however that ends.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK)
        return refuse(DeviceFailure::busy);
    // Root gets in despite another program's exclusive mode: the port is that program's while
    // it has the port open. A flag that nobody holds any more was left by a killed program;
    // it is cleared at close.
    int exclusive = 0;
    if (ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0 && openElsewhere(node.st_rdev))
        return refuse(DeviceFailure::busy);
    clearExclusiveAtClose_ = exclusive != 0;
    // A pseudo-terminal keeps exclusive mode after its last close while its master lives: a
    // killed run would leave it closed to everyone but root. There the lock alone serves.
    if (!isPseudoTerminalSlave(node.st_rdev)) {
        if (ioctl(fd, TIOCEXCL) != 0 && errno == EBUSY)
            return refuse(DeviceFailure::busy);
        clearExclusiveAtClose_ = true;
    }

    fd_ = fd;
    failure_ = DeviceFailure::none;
    keepLine_ = false;
    outputStalled_ = false;
    // The line state found here is put back at close. Failures from here on are ignored: the
    // port is open, and a reader that cannot be reached is found out by the reply wait.
    haveSavedTermios_ = tcgetattr(fd_, &savedTermios_) == 0;
    struct termios line {};
    if (tcgetattr(fd_, &line) == 0) {
        makeRaw(line);
        applyLineDefinition(line, lineDefinition);
        // Reads never block (O_NONBLOCK stays set); poll provides the 1 ms time-out.
        line.c_cc[VMIN] = 1;
        line.c_cc[VTIME] = 0;
        tcsetattr(fd_, TCSANOW, &line);
    }
    // A late answer to an earlier session must not be taken for a reply to this one.
    tcflush(fd_, TCIOFLUSH);

    // USB adapters otherwise hold a short reply back for up to 16 ms.
    serial_struct serial{};
    if (ioctl(fd_, TIOCGSERIAL, &serial) == 0) {
        serial.flags |= ASYNC_LOW_LATENCY;
        ioctl(fd_, TIOCSSERIAL, &serial);
    }
    return true;
}

void PosixSerialDevice::close()
{
    if (fd_ < 0)
        return;
    // The reader's port keeps the definition this channel applied, with the time-outs found at
    // open; any other port gets back the whole line state it had.
    struct termios line {};
    if (haveSavedTermios_ && !keepLine_)
        tcsetattr(fd_, TCSANOW, &savedTermios_);
    else if (haveSavedTermios_ && tcgetattr(fd_, &line) == 0) {
        line.c_cc[VMIN] = savedTermios_.c_cc[VMIN];
        line.c_cc[VTIME] = savedTermios_.c_cc[VTIME];
        tcsetattr(fd_, TCSANOW, &line);
    }
    // Exclusive mode outlives our descriptor while another holds the port open; clear it so
    // the next program (not root) can open the port. Never another program's.
    if (clearExclusiveAtClose_)
        ioctl(fd_, TIOCNXCL);
    flock(fd_, LOCK_UN);
    ::close(fd_);
    fd_ = -1;
    haveSavedTermios_ = false;
}

void PosixSerialDevice::discardInput()
{
    if (fd_ >= 0)
        tcflush(fd_, TCIFLUSH);
}

void PosixSerialDevice::write(const uint8_t* data, size_t count)
{
    if (fd_ < 0 || outputStalled_)
        return;
    const int64_t giveUpAt = monotonicNanoseconds() + writeGiveUpNs;
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd_, data + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        const int error = n < 0 ? errno : EAGAIN;
        if (error == EINTR)
            continue;
        if (error != EAGAIN) {
            if (isGoneErrno(error))
                failure_ = DeviceFailure::gone;
            return;
        }
        const short revents = pollUntil(fd_, POLLOUT, giveUpAt);
        if (revents & (POLLERR | POLLHUP | POLLNVAL)) {
            failure_ = DeviceFailure::gone;
            return;
        }
        if (revents == 0)
            return giveUpOutput();  // no progress for the whole allowance
    }
    // The pause after a write counts from the moment its bytes have left the port.
    if (!drainUntil(fd_, giveUpAt))
        giveUpOutput();
}

void PosixSerialDevice::giveUpOutput()
{
    // Every later write would wait out its allowance too: the device is gone until reopened.
    outputStalled_ = true;
    failure_ = DeviceFailure::gone;
}

ReadOutcome PosixSerialDevice::readByte(uint8_t& value)
{
    const int64_t deadline = monotonicNanoseconds() + readWaitNs;
    // A gone device answers poll at once; it still costs its full 1 ms, so that a caller's
    // wait loop keeps its pace instead of spinning.
    auto gone = [&] {
        failure_ = DeviceFailure::gone;
        sleepUntil(deadline);
        return ReadOutcome::gone;
    };
    if (fd_ < 0 || outputStalled_)
        return gone();

    const short revents = pollUntil(fd_, POLLIN, deadline);
    if (revents & POLLIN) {
        for (;;) {
            const ssize_t n = ::read(fd_, &value, 1);
            if (n == 1)
                return ReadOutcome::byte;
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN) {
                // Readiness without a byte: wait out the rest of the 1 ms.
                sleepUntil(deadline);
                return ReadOutcome::none;
            }
            return gone();  // end of file, EIO, ENXIO, ENODEV
        }
    }
    if (revents & (POLLHUP | POLLERR | POLLNVAL))
        return gone();
    return ReadOutcome::none;
}

std::unique_ptr<SerialDevice> makeSystemSerialDevice()
{
    return std::make_unique<PosixSerialDevice>();
}

} // namespace tempik
