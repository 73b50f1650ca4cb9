// Files of the configuration folder on POSIX systems. A file is read whole and written back
// whole through a temporary file and a rename, so a save either happens completely or not at all.
#include "settings/config_file.h"

#include "settings/store_file_guard.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor()
    {
        if (fd_ >= 0)
            ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    bool close()
    {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

enum class FileState { absent, fullAccess, refused };

// Gives path the owner of model when root runs: a file or folder root makes for a user must
// stay the user's. Others cannot give a file away and keep what they make.
void keepOwnerOf(const std::string& model, const std::string& path)
{
    struct stat status;
    if (::geteuid() == 0 && ::stat(model.c_str(), &status) == 0)
        (void)::lchown(path.c_str(), status.st_uid, status.st_gid);
}

// The file can be read and written. Anything but a regular file (a folder, a pipe that would
// block the reading) is refused, as is an oversized one.
FileState fileState(const std::string& path, struct stat* status)
{
    if (::stat(path.c_str(), status) != 0)
        return errno == ENOENT ? FileState::absent : FileState::refused;
    if (!S_ISREG(status->st_mode) || status->st_size > off_t(maximumConfigFileSize)
        || ::access(path.c_str(), R_OK | W_OK) != 0)
        return FileState::refused;
    return FileState::fullAccess;
}

bool writeAll(int fd, const std::string& data)
{
    size_t done = 0;
    while (done < data.size()) {
        const ssize_t wrote = ::write(fd, data.data() + done, data.size() - done);
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Like mkdir -p; true when the folder exists afterwards. A folder that root makes takes the
// owner of the one above it, so that a root run does not lock the user out of their folders.
bool makeFolders(const std::string& folder)
{
    for (size_t slash = folder.find('/', 1); ; slash = folder.find('/', slash + 1)) {
        const std::string prefix = folder.substr(0, slash);
        if (!prefix.empty()) {
            if (::mkdir(prefix.c_str(), 0755) == 0)
                keepOwnerOf(folderOf(prefix), prefix);
            else if (errno != EEXIST)
                return false;
        }
        if (slash == std::string::npos)
            break;
    }
    struct stat status;
    return ::stat(folder.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

} // namespace

std::optional<std::string> readConfigFile(const std::string& path)
{
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status;
    if (fd.get() < 0 || ::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    std::string content;
    char buffer[8192];
    while (true) {
        const ssize_t got = ::read(fd.get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return content;
        content.append(buffer, static_cast<size_t>(got));
        if (content.size() > maximumConfigFileSize)
            return std::nullopt;  // grew since it was looked at
    }
}

// The whole of it runs under the file's lock, so two programs saving at once both get their
// values in. When the file is a symbolic link, the file it points to is replaced, in that
// file's folder.
bool saveConfigFile(const std::string& configFolder, const std::string& fileName, const ConfigFileEdit& edit,
                    const BeforeReplace& beforeReplace)
{
    if (!makeFolders(configFolder))
        return false;
    const std::optional<std::string> target = linkTarget(configFolder + "/" + fileName);
    if (!target)
        return false;
    const std::string& path = *target;
    const std::string folder = folderOf(path);
    if (::access(folder.c_str(), R_OK | W_OK | X_OK) != 0)
        return false;
    const StoreLock lock(path);
    if (!lock.held())
        return false;
    removeStrayTemporaries(path);
    struct stat status;
    const FileState state = fileState(path, &status);
    if (state == FileState::refused)
        return false;
    std::string content;
    if (state == FileState::fullAccess) {
        const auto old = readConfigFile(path);
        if (!old)
            return false;
        content = *old;
    }
    content = edit(content);
    // A file over the limit would not be read again: the save is refused instead, the old file
    // kept as it is.
    if (content.size() > maximumConfigFileSize)
        return false;

    std::string temporary = path + ".XXXXXX";
    FileDescriptor fd(::mkostemp(temporary.data(), O_CLOEXEC));
    if (fd.get() < 0)
        return false;
    // The owner first: a change of owner clears the set-id bits a mode may hold.
    keepOwnerOf(state == FileState::fullAccess ? path : folder, temporary);
    const mode_t mode = state == FileState::fullAccess ? (status.st_mode & 07777) : 0600;
    const bool written = writeAll(fd.get(), content) && ::fchmod(fd.get(), mode) == 0
                         && ::fsync(fd.get()) == 0 && fd.close();
    if (!written || (beforeReplace && !beforeReplace(temporary))
        || ::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    // Make the rename itself durable.
    FileDescriptor folderFd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folderFd.get() >= 0)
        ::fsync(folderFd.get());
    return true;
}

} // namespace tempik
