// The TCP connection of a network port on Winsock: non-blocking, Nagle off so each write leaves
// at once before its pause, waits on select against a monotonic deadline.
#include "link/clock.h"
#include "link/host_lookup.h"
#include "link/network_socket.h"

#include <memory>

#include <winsock2.h>
#include <ws2tcpip.h>

namespace tempik {

namespace {

constexpr int64_t sendGiveUpNs = 2'000'000'000;

// Winsock is started once for the process and left running: the program ends soon enough.
bool winsockStarted()
{
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

timeval timeLeft(int64_t deadlineNs)
{
    int64_t ns = deadlineNs - monotonicNanoseconds();
    if (ns < 0)
        ns = 0;
    const int64_t us = (ns + 999) / 1000;
    return timeval{static_cast<long>(us / 1'000'000), static_cast<long>(us % 1'000'000)};
}

// Waits until s is readable (or writable) or fails, or the deadline passes: 1 ready, 0 time
// out, -1 an error on the socket.
int waitFor(SOCKET s, bool write, int64_t deadlineNs)
{
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    timeval left = timeLeft(deadlineNs);
    const int n = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &left);
    if (n <= 0)
        return n == 0 ? 0 : -1;
    return FD_ISSET(s, &failed) ? -1 : 1;
}

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

void sleepUntil(int64_t deadlineNs)
{
    const int64_t ns = deadlineNs - monotonicNanoseconds();
    if (ns > 0)
        Sleep(static_cast<DWORD>((ns + 999'999) / 1'000'000));
}

class WinsockSocket final : public NetworkSocket {
public:
    ~WinsockSocket() override { close(); }

    bool connect(const std::string& host, uint16_t port, int timeoutMs, DeviceFailure& why) override
    {
        close();
        why = DeviceFailure::unreachable;
        if (!winsockStarted())
            return false;
        const int64_t deadline = monotonicNanoseconds() + int64_t(timeoutMs) * 1'000'000;
        const Addresses found = lookUp(host, port, deadline);
        if (!found) {
            why = DeviceFailure::unknownHost;
            return false;
        }
        for (const addrinfo* a = found.get(); a && s_ == INVALID_SOCKET && monotonicNanoseconds() < deadline; a = a->ai_next)
            s_ = connectOne(*a, deadline, why);
        return s_ != INVALID_SOCKET;
    }

    void close() override
    {
        if (s_ != INVALID_SOCKET)
            closesocket(s_);
        s_ = INVALID_SOCKET;
    }

    bool send(const uint8_t* data, size_t count) override
    {
        const int64_t giveUpAt = monotonicNanoseconds() + sendGiveUpNs;
        size_t done = 0;
        while (s_ != INVALID_SOCKET && done < count) {
            const int n = ::send(s_, reinterpret_cast<const char*>(data + done), static_cast<int>(count - done), 0);
            if (n > 0)
                done += static_cast<size_t>(n);
            else if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK && waitFor(s_, true, giveUpAt) == 1)
                continue;
            else
                return false;
        }
        return done == count;
    }

    long receive(uint8_t* buffer, size_t size, int64_t deadlineNs) override
    {
        auto gone = [&] {
            sleepUntil(deadlineNs);
            return -1L;
        };
        if (s_ == INVALID_SOCKET)
            return gone();
        const int ready = waitFor(s_, false, deadlineNs);
        if (ready == 0)
            return 0;
        if (ready < 0)
            return gone();
        const int n = recv(s_, reinterpret_cast<char*>(buffer), static_cast<int>(size), 0);
        if (n > 0)
            return n;
        if (n == SOCKET_ERROR && WSAGetLastError() == WSAEWOULDBLOCK)
            return 0;
        return gone();   // closed by the server, reset, or an error on the socket
    }

private:
    static SOCKET connectOne(const addrinfo& address, int64_t deadline, DeviceFailure& why)
    {
        SOCKET s = socket(address.ai_family, address.ai_socktype, address.ai_protocol);
        if (s == INVALID_SOCKET)
            return s;
        u_long nonBlocking = 1;
        ioctlsocket(s, FIONBIO, &nonBlocking);
        bool connected = ::connect(s, address.ai_addr, static_cast<int>(address.ai_addrlen)) == 0;
        int error = connected ? 0 : WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            connected = waitFor(s, true, deadline) == 1;
            int length = sizeof error;
            if (connected || getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &length) != 0)
                error = 0;
        }
        if (error == WSAECONNREFUSED)
            why = DeviceFailure::refused;
        if (!connected) {
            closesocket(s);
            return INVALID_SOCKET;
        }
        const BOOL on = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        return s;
    }

    SOCKET s_ = INVALID_SOCKET;
};

} // namespace

std::unique_ptr<NetworkSocket> makeSystemSocket()
{
    return std::make_unique<WinsockSocket>();
}

} // namespace tempik
