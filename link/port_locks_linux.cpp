#include "link/port_locks_linux.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace tempik {

namespace {

// "ttyUSB0" for /dev/ttyUSB0, "pts_3" for /dev/pts/3: the name after /dev/, slashes as '_'.
std::string lockName(const std::string& devicePath)
{
    char resolved[PATH_MAX];
    std::string path = realpath(devicePath.c_str(), resolved) ? resolved : devicePath;
    const std::string dev = "/dev/";
    if (path.compare(0, dev.size(), dev) == 0)
        path.erase(0, dev.size());
    else
        path.erase(0, path.rfind('/') + 1);
    for (char& c : path)
        if (c == '/')
            c = '_';
    return "LCK.." + path;
}

// The process a lock file names: ten ASCII digits (HDB style) or a binary int (old style);
// 0 when it names none.
pid_t lockOwner(const std::string& lockPath)
{
    const int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0)
        return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n == static_cast<ssize_t>(sizeof(int)) && (text[0] < ' ' || text[sizeof(int) - 1] == 0)) {
        int binary = 0;
        std::memcpy(&binary, text, sizeof binary);
        return binary;
    }
    const long pid = n > 0 ? std::strtol(text, nullptr, 10) : 0;
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

bool isNumber(const char* name)
{
    for (const char* c = name; *c; ++c)
        if (*c < '0' || *c > '9')
            return false;
    return *name != 0;
}

bool processHasOpen(int fdFolder, dev_t rdev)
{
    DIR* fds = fdopendir(fdFolder);
    if (fds == nullptr) {
        ::close(fdFolder);
        return false;
    }
    bool found = false;
    while (const dirent* entry = readdir(fds)) {
        struct stat target {};
        if (isNumber(entry->d_name) && fstatat(dirfd(fds), entry->d_name, &target, 0) == 0 &&
            S_ISCHR(target.st_mode) && target.st_rdev == rdev) {
            found = true;
            break;
        }
    }
    closedir(fds);
    return found;
}

} // namespace

bool uucpLockHeld(const std::string& lockFolder, const std::string& devicePath)
{
    const std::string lockPath = lockFolder + "/" + lockName(devicePath);
    if (access(lockPath.c_str(), F_OK) != 0)
        return false;
    const pid_t owner = lockOwner(lockPath);
    // kill(0) refused for want of permission still means the process runs.
    return owner <= 0 || kill(owner, 0) == 0 || errno == EPERM;
}

bool openElsewhere(dev_t rdev)
{
    DIR* proc = opendir("/proc");
    if (proc == nullptr)
        return false;
    const std::string self = std::to_string(getpid());
    bool found = false;
    while (const dirent* entry = readdir(proc)) {
        if (!isNumber(entry->d_name) || self == entry->d_name)
            continue;
        const int fdFolder = openat(dirfd(proc), (std::string(entry->d_name) + "/fd").c_str(),
                                    O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fdFolder >= 0 && processHasOpen(fdFolder, rdev)) {
            found = true;
            break;
        }
    }
    closedir(proc);
    return found;
}

bool isPseudoTerminalSlave(dev_t rdev)
{
    const unsigned number = major(rdev);
    // Unix98 slaves (/dev/pts/N) are majors 136 to 143; BSD-style slaves (/dev/ttyp0) major 3.
    return (number >= 136 && number <= 143) || number == 3;
}

} // namespace tempik
