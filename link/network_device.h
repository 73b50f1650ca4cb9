#pragma once
// A serial port behind a serial device server, reached by URL (network_url.h): the serial device
// seam over a TCP connection, with Telnet and RFC 2217 line settings or as a raw byte stream.
#include "link/network_socket.h"
#include "link/network_url.h"
#include "link/telnet_codec.h"

#include <deque>

namespace tempik {

class NetworkDevice final : public SerialDevice {
public:
    static constexpr int connectLimitMs = 2000;

    explicit NetworkDevice(std::unique_ptr<NetworkSocket> socket);
    ~NetworkDevice() override;

    // Connects; over RFC 2217 negotiates the option, sets the line from the definition (one
    // that does not parse leaves the server's line as it is) and purges both directions, each
    // awaited within the connect limit. A server that does not confirm still counts as open.
    bool open(const std::string& url, const std::string& lineDefinition) override;
    void close() override;
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    DeviceFailure failure() const override { return failure_; }
    std::optional<uint32_t> replyWaitMs() const override { return replyWaitMs_; }

private:
    // Receives once, until bytes come or the deadline passes; false when the connection is gone.
    bool receiveUntil(int64_t deadlineNs);
    bool send(const std::vector<uint8_t>& bytes);

    std::unique_ptr<NetworkSocket> socket_;
    bool open_ = false;
    bool telnet_ = false;
    TelnetCodec codec_;
    std::deque<uint8_t> received_;
    DeviceFailure failure_ = DeviceFailure::none;
    std::optional<uint32_t> replyWaitMs_;
};

} // namespace tempik
