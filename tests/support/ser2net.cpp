#include "tests/support/ser2net.h"

#include "tests/support/files.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tempik::testing {

namespace {

constexpr const char* ser2netPath = "/usr/sbin/ser2net";

// Whether something listens on 127.0.0.1:port (as the kernel lists it; no connection made,
// for a connection would make ser2net open the device).
bool listening(int port)
{
    char wanted[32];
    std::snprintf(wanted, sizeof wanted, "0100007F:%04X", port);
    const std::string table = fileText("/proc/net/tcp");
    for (size_t at = table.find(wanted); at != std::string::npos; at = table.find(wanted, at + 1))
        if (table.compare(at + 27, 3, " 0A") == 0)   // after the remote address: state LISTEN
            return true;
    return false;
}

std::string connection(const std::string& name, const std::string& accepter, int port, const std::string& device,
                       const std::string& line)
{
    return "connection: &" + name + "\n    accepter: " + accepter + "tcp,127.0.0.1," + std::to_string(port) +
           "\n    enable: on\n    options:\n      kickolduser: true\n    connector: serialdev," + device + "," +
           line + ",local\n";
}

} // namespace

int freeTcpPort()
{
    const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    close(fd);
    return port;
}

bool Ser2net::installed()
{
    return access(ser2netPath, X_OK) == 0;
}

Ser2net::Ser2net(const std::string& device, const std::string& folder, const std::string& rfc2217Line,
                 const std::string& socketLine)
{
    rfc2217Port_ = freeTcpPort();
    socketPort_ = freeTcpPort();
    const std::string config = folder + "/ser2net.yaml";
    writeFile(config, "%YAML 1.1\n---\n" + connection("rfc2217", "telnet(rfc2217),", rfc2217Port_, device, rfc2217Line) +
                          connection("raw", "", socketPort_, device, socketLine));
    const std::string pidFile = folder + "/ser2net.pid";
    const std::string log = folder + "/ser2net.log";
    pid_ = fork();
    if (pid_ == 0) {
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        dup2(out, 1);
        dup2(out, 2);
        // -n: stays in the foreground, so this pid is ser2net's; -u: no UUCP lock files.
        execl(ser2netPath, ser2netPath, "-n", "-u", "-P", pidFile.c_str(), "-c", config.c_str(), nullptr);
        _exit(127);
    }
    if (pid_ < 0) {
        failure_ = "cannot fork";
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!(listening(rfc2217Port_) && listening(socketPort_)) && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            failure_ = "ser2net ended: " + fileText(log);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ready_ = listening(rfc2217Port_) && listening(socketPort_);
    if (!ready_)
        failure_ = "ser2net does not listen: " + fileText(log);
}

void Ser2net::kill()
{
    if (pid_ <= 0)
        return;
    ::kill(pid_, SIGKILL);
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
}

} // namespace tempik::testing
