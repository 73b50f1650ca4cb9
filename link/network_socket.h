#pragma once
// The TCP connection a network port runs on: the one place with socket calls, one file per
// platform (socket_posix.cpp; a winsock file beside it for Windows). Tests: a scripted fake.
#include "link/serial_device.h"

#include <cstdint>
#include <memory>
#include <string>

namespace tempik {

class NetworkSocket {
public:
    virtual ~NetworkSocket() = default;
    // Connects to host:port with Nagle off, giving up after timeoutMs. On failure says why.
    virtual bool connect(const std::string& host, uint16_t port, int timeoutMs, DeviceFailure& why) = 0;
    virtual void close() = 0;
    // Sends every byte at once; false when the connection is gone or stalls for seconds.
    virtual bool send(const uint8_t* data, size_t count) = 0;
    // Waits until bytes arrive or the monotonic deadline passes. Returns the count received,
    // 0 at the deadline, -1 when the connection is closed or reset, and then never before the
    // deadline, so that a caller's wait keeps its pace instead of spinning.
    virtual long receive(uint8_t* buffer, size_t size, int64_t deadlineNs) = 0;
};

std::unique_ptr<NetworkSocket> makeSystemSocket();

} // namespace tempik
