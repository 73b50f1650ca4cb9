#pragma once
// A real ser2net (Debian's serial device server) for end-to-end tests: one device served on
// 127.0.0.1 as RFC 2217 and as a raw TCP port, each on a port the kernel found free, with a
// configuration file of its own. Killed and reaped with the object.
#include <string>
#include <sys/types.h>

namespace tempik::testing {

// A TCP port on 127.0.0.1 that nothing listens on now.
int freeTcpPort();

class Ser2net {
public:
    // The lines ser2net gives the device at each connection of either kind (its own notation:
    // "9600n81"); the configuration and the log go into folder.
    Ser2net(const std::string& device, const std::string& folder, const std::string& rfc2217Line,
            const std::string& socketLine);
    ~Ser2net() { kill(); }
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    static bool installed();
    bool ready() const { return ready_; }
    const std::string& failure() const { return failure_; }

    std::string rfc2217Url() const { return "rfc2217://127.0.0.1:" + std::to_string(rfc2217Port_); }
    std::string socketUrl() const { return "socket://127.0.0.1:" + std::to_string(socketPort_); }

    // SIGKILL, then reaps it: the connections drop as on a crash.
    void kill();

private:
    pid_t pid_ = -1;
    int rfc2217Port_ = 0;
    int socketPort_ = 0;
    bool ready_ = false;
    std::string failure_;
};

} // namespace tempik::testing
