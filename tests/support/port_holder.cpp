#include "tests/support/port_holder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace tempik::testing {

PortHolder::PortHolder(const std::string& devicePath)
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
        const bool ok = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCEXCL) == 0;
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

PortHolder::~PortHolder() { release(); }

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
