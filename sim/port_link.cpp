#include "sim/port_link.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik::sim {

bool PortLink::create(const std::string& path, const std::string& target, std::string& error)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path parent = fs::path(path).parent_path();
    if (!parent.empty()) {
        fs::create_directories(parent, ec);
        if (ec) {
            error = "cannot create " + parent.string() + ": " + ec.message();
            return false;
        }
    }
    struct stat st {};
    if (lstat(path.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        error = path + " exists and is not a symbolic link; not replacing it";
        return false;
    }
    // A new link renamed over the old one, so the path never goes missing in between.
    const std::string temporary = path + ".new" + std::to_string(getpid());
    ::unlink(temporary.c_str());
    if (symlink(target.c_str(), temporary.c_str()) != 0 ||
        std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = "cannot link " + path + " to " + target + ": " + std::strerror(errno);
        ::unlink(temporary.c_str());
        return false;
    }
    path_ = path;
    target_ = target;
    return true;
}

PortLink::~PortLink()
{
    if (path_.empty())
        return;
    char buffer[4096];
    const ssize_t n = readlink(path_.c_str(), buffer, sizeof buffer - 1);
    if (n >= 0 && std::string(buffer, static_cast<size_t>(n)) == target_)
        ::unlink(path_.c_str());
}

} // namespace tempik::sim
