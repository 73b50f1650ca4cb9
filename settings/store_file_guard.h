#pragma once
// What keeps a save of the settings file sound beside other programs: the lock around its
// read-modify-replace, the real file behind a symbolic link, and the temporary files that a
// save killed before its rename left behind.
#include <optional>
#include <string>

namespace tempik {

// Holds an exclusive flock on "<file>.lock" until destroyed, then removes that file, so nothing
// is left in the folder. Waits for another holder a few seconds at most.
class StoreLock {
public:
    explicit StoreLock(const std::string& file);
    ~StoreLock();
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;
    bool held() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
};

// The file that path finally names: path itself unless it is a symbolic link, else the end of
// the chain of links (relative ones taken from their own folder). nullopt for a loop of links,
// and for a link that is not the running user's whose owner could not replace its target
// himself (see mayFollow).
std::optional<std::string> linkTarget(const std::string& path);

std::string folderOf(const std::string& path);

// Removes "<file>.XXXXXX" temporary files, as a save makes them, from the file's folder. Only
// under the lock: then no save is in progress and every such file is a stray.
void removeStrayTemporaries(const std::string& file);

} // namespace tempik
