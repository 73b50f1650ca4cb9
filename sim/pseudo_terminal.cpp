#include "sim/pseudo_terminal.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tempik::sim {

namespace {
struct SpeedEntry {
    unsigned bps;
    speed_t constant;
};
const SpeedEntry speeds[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};
} // namespace

speed_t speedConstant(unsigned bps)
{
    for (const auto& s : speeds)
        if (s.bps == bps)
            return s.constant;
    return 0;
}

unsigned bitsPerSecond(speed_t speed)
{
    for (const auto& s : speeds)
        if (s.constant == speed)
            return s.bps;
    return 0;
}

PseudoTerminal::~PseudoTerminal()
{
    if (slave_ >= 0)
        ::close(slave_);
    if (master_ >= 0)
        ::close(master_);
}

bool PseudoTerminal::open(std::string& error)
{
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master_ < 0) {
        error = std::string("posix_openpt: ") + std::strerror(errno);
        return false;
    }
    if (grantpt(master_) != 0 || unlockpt(master_) != 0) {
        error = std::string("cannot unlock the pseudo-terminal: ") + std::strerror(errno);
        return false;
    }
    char name[256];
    if (ptsname_r(master_, name, sizeof name) != 0) {
        error = std::string("ptsname: ") + std::strerror(errno);
        return false;
    }
    slavePath_ = name;
    slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (slave_ < 0) {
        error = "cannot open " + slavePath_ + ": " + std::strerror(errno);
        return false;
    }
    struct termios t {};
    if (tcgetattr(slave_, &t) != 0) {
        error = std::string("tcgetattr: ") + std::strerror(errno);
        return false;
    }
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (tcsetattr(slave_, TCSANOW, &t) != 0) {
        error = std::string("tcsetattr: ") + std::strerror(errno);
        return false;
    }
    const int flags = fcntl(master_, F_GETFL);
    fcntl(master_, F_SETFL, flags | O_NONBLOCK);
    return true;
}

unsigned PseudoTerminal::hostSpeed() const
{
    struct termios t {};
    if (tcgetattr(slave_, &t) != 0)
        return 0;
    return bitsPerSecond(cfgetospeed(&t));
}

} // namespace tempik::sim
