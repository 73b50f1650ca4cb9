// The TCP connection of a network port on POSIX sockets: non-blocking, Nagle off so each write
// leaves at once before its pause, waits on poll against a monotonic deadline.
#include "link/clock.h"
#include "link/host_lookup.h"
#include "link/posix_wait.h"
#include "link/network_socket.h"

#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <memory>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tempik {

using posixWait::pollUntil;
using posixWait::sleepUntil;

namespace {

constexpr int64_t sendGiveUpNs = 2'000'000'000;

struct FreeAddresses {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using Addresses = std::unique_ptr<addrinfo, FreeAddresses>;

// The addresses of host, or none when the lookup fails or has not ended by the deadline.
Addresses lookUp(const std::string& host, uint16_t port, int64_t deadlineNs)
{
    auto lookup = [host, port]() -> Addresses {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_flags = AI_NUMERICSERV;
        addrinfo* found = nullptr;
        if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0)
            return nullptr;
        return Addresses(found);
    };
    std::optional<Addresses> found =
        callWithin<Addresses>(std::move(lookup), std::chrono::nanoseconds(deadlineNs - monotonicNanoseconds()));
    return found ? std::move(*found) : nullptr;
}

DeviceFailure connectFailure(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return DeviceFailure::accessDenied;
    case ECONNREFUSED:
        return DeviceFailure::refused;
    default:
        return DeviceFailure::unreachable;
    }
}

class PosixSocket final : public NetworkSocket {
public:
    ~PosixSocket() override { close(); }

    bool connect(const std::string& host, uint16_t port, int timeoutMs, DeviceFailure& why) override
    {
        close();
        const int64_t deadline = monotonicNanoseconds() + int64_t(timeoutMs) * 1'000'000;
        const Addresses found = lookUp(host, port, deadline);
        if (!found) {
            why = DeviceFailure::unknownHost;
            return false;
        }
        why = DeviceFailure::unreachable;
        for (const addrinfo* a = found.get(); a && fd_ < 0 && monotonicNanoseconds() < deadline; a = a->ai_next)
            fd_ = connectOne(*a, deadline, why);
        return fd_ >= 0;
    }

    void close() override
    {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = -1;
    }

    bool send(const uint8_t* data, size_t count) override
    {
        const int64_t giveUpAt = monotonicNanoseconds() + sendGiveUpNs;
        size_t done = 0;
        while (fd_ >= 0 && done < count) {
            // MSG_NOSIGNAL: a reset connection must not end the program with SIGPIPE.
            const ssize_t n = ::send(fd_, data + done, count - done, MSG_NOSIGNAL);
            if (n > 0) {
                done += static_cast<size_t>(n);
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else if (n < 0 && errno == EAGAIN) {
                const short revents = pollUntil(fd_, POLLOUT, giveUpAt);
                if (revents == 0 || (revents & (POLLERR | POLLHUP | POLLNVAL)))
                    return false;
            } else {
                return false;
            }
        }
        return done == count;
    }

    long receive(uint8_t* buffer, size_t size, int64_t deadlineNs) override
    {
        auto gone = [&] {
            sleepUntil(deadlineNs);
            return -1L;
        };
        if (fd_ < 0)
            return gone();
        const short revents = pollUntil(fd_, POLLIN, deadlineNs);
        if (revents == 0)
            return 0;
        for (;;) {
            const ssize_t n = ::recv(fd_, buffer, size, 0);
            if (n > 0)
                return n;
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno == EAGAIN)
                return 0;
            return gone();   // closed by the server, reset, or an error on the socket
        }
    }

private:
    static int connectOne(const addrinfo& address, int64_t deadline, DeviceFailure& why)
    {
        const int fd = ::socket(address.ai_family, address.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC,
                                address.ai_protocol);
        if (fd < 0)
            return -1;
        int error = 0;
        if (::connect(fd, address.ai_addr, address.ai_addrlen) != 0) {
            error = errno;
            if (error == EINPROGRESS) {
                const short revents = pollUntil(fd, POLLOUT, deadline);
                socklen_t length = sizeof error;
                if (revents == 0)
                    error = ETIMEDOUT;
                else if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0)
                    error = errno;
            }
        }
        if (error != 0) {
            why = connectFailure(error);
            ::close(fd);
            return -1;
        }
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        return fd;
    }

    int fd_ = -1;
};

} // namespace

std::unique_ptr<NetworkSocket> makeSystemSocket()
{
    return std::make_unique<PosixSocket>();
}

} // namespace tempik
