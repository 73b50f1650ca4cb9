// The lock, link and leftover handling of the settings file on POSIX systems.
#include "settings/store_file_guard.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>
#include <vector>

namespace tempik {

namespace {

constexpr int lockAttempts = 300;         // 3 s; a save takes milliseconds
constexpr long lockRetryNs = 10'000'000;  // 10 ms
constexpr int maximumLinks = 40;          // as the kernel allows in one lookup
constexpr size_t temporarySuffix = 6;     // mkostemp's XXXXXX

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

bool isAsciiAlnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// A name a save's mkostemp made: six letters and digits, mixed. Six lower-case letters
// ("backup") or six digits (a date) are what a person names a copy, and are kept.
bool isTemporarySuffix(const std::string& suffix)
{
    if (suffix.size() != temporarySuffix)
        return false;
    bool lower = true, digits = true;
    for (char c : suffix) {
        if (!isAsciiAlnum(c))
            return false;
        lower = lower && c >= 'a' && c <= 'z';
        digits = digits && c >= '0' && c <= '9';
    }
    return !lower && !digits;
}

bool inGroup(uid_t uid, gid_t gid)
{
    const passwd* user = ::getpwuid(uid);
    if (!user)
        return false;
    if (user->pw_gid == gid)
        return true;
    std::vector<gid_t> groups(64);
    int count = static_cast<int>(groups.size());
    if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0) {
        groups.resize(static_cast<size_t>(count));
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) < 0)
            return false;
    }
    return std::find(groups.begin(), groups.begin() + count, gid) != groups.begin() + count;
}

// Whether user uid may write what status describes, by its mode bits as the kernel grants it.
bool userMayWrite(uid_t uid, const struct stat& status)
{
    if (uid == 0)
        return true;
    if (status.st_uid == uid)
        return (status.st_mode & S_IWUSR) != 0;
    if (inGroup(uid, status.st_gid))
        return (status.st_mode & S_IWGRP) != 0;
    return (status.st_mode & S_IWOTH) != 0;
}

// The kernel's protected-symlinks rule, carried over to writing: a link is followed when it is
// the running user's own; else never out of a sticky, world-writable folder whose owner is not
// the link's, and only when the link's owner could himself replace the file it leads to (write
// it and its folder, and in a sticky folder own one of them). Without this a root run would
// write wherever a link its user planted in his folder points (/etc/...).
bool mayFollow(const std::string& linkPath, const struct stat& link, const std::string& target)
{
    const uid_t owner = link.st_uid;
    if (owner == ::geteuid())
        return true;
    struct stat linkFolder, folder, file;
    if (::stat(folderOf(linkPath).c_str(), &linkFolder) != 0)
        return false;
    if ((linkFolder.st_mode & (S_ISVTX | S_IWOTH)) == (S_ISVTX | S_IWOTH) && linkFolder.st_uid != owner)
        return false;
    if (::stat(folderOf(target).c_str(), &folder) != 0 || !S_ISDIR(folder.st_mode) || !userMayWrite(owner, folder))
        return false;
    if (::stat(target.c_str(), &file) != 0)
        return errno == ENOENT;
    const bool stickyForOthers = (folder.st_mode & S_ISVTX) != 0 && folder.st_uid != owner && file.st_uid != owner;
    return userMayWrite(owner, file) && !stickyForOthers;
}

} // namespace

StoreLock::StoreLock(const std::string& file) : path_(file + ".lock")
{
    for (int attempt = 0; attempt < lockAttempts; ++attempt) {
        const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd < 0)
            return;
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            // The holder before us removes the lock file on its way out: a lock on a file no
            // longer at that path keeps nobody out, so take the new one instead.
            struct stat held, named;
            if (::fstat(fd, &held) == 0 && ::lstat(path_.c_str(), &named) == 0 && sameFile(held, named)) {
                fd_ = fd;
                return;
            }
            ::close(fd);
            continue;
        }
        const int error = errno;
        ::close(fd);
        if (error != EWOULDBLOCK && error != EINTR)
            return;
        const timespec pause{0, lockRetryNs};
        ::nanosleep(&pause, nullptr);
    }
}

StoreLock::~StoreLock()
{
    if (fd_ < 0)
        return;
    ::unlink(path_.c_str());   // while still held, so no one else can be holding it
    ::close(fd_);
}

std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::optional<std::string> linkTarget(const std::string& path)
{
    std::string current = path;
    for (int hop = 0; hop <= maximumLinks; ++hop) {
        struct stat status;
        if (::lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        std::vector<char> target(4096);
        const ssize_t length = ::readlink(current.c_str(), target.data(), target.size());
        if (length <= 0 || static_cast<size_t>(length) >= target.size())
            return std::nullopt;
        const std::string next(target.data(), static_cast<size_t>(length));
        const std::string nextPath = next.front() == '/' ? next : folderOf(current) + "/" + next;
        if (!mayFollow(current, status, nextPath))
            return std::nullopt;
        current = nextPath;
    }
    return std::nullopt;
}

void removeStrayTemporaries(const std::string& file)
{
    const std::string folder = folderOf(file);
    const std::string prefix = file.substr(file.rfind('/') + 1) + ".";
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    std::vector<std::string> strays;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.compare(0, prefix.size(), prefix) == 0 && isTemporarySuffix(name.substr(prefix.size())))
            strays.push_back(folder + "/" + name);
    }
    ::closedir(dir);
    for (const std::string& stray : strays) {
        struct stat status;
        if (::lstat(stray.c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(stray.c_str());
    }
}

} // namespace tempik
