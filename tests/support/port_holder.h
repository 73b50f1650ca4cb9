#pragma once
// Another program holding a serial port: a child process that opens the device, takes the
// exclusive lock (flock) and exclusive mode (TIOCEXCL) the way our own device does, and keeps
// them until released.
#include <string>
#include <sys/types.h>

namespace tempik::testing {

class PortHolder {
public:
    // Returns once the child holds the port; held() tells whether it managed to.
    explicit PortHolder(const std::string& devicePath);
    ~PortHolder();
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
