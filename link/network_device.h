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
    // The most bytes received and not yet read that are kept; more are dropped, as a serial
    // port's full input buffer drops them.
    static constexpr size_t keptLimit = 4096;

    explicit NetworkDevice(std::unique_ptr<NetworkSocket> socket);
    ~NetworkDevice() override;

    // Connects within the connect limit and, over RFC 2217, offers the option. Before the first
    // byte is written or read, the server's agreement is awaited, the line set from the
    // definition (one that does not parse leaves the server's line as it is) and both
    // directions purged, the purge awaited; so a server that is slow to answer a connection
    // (ser2net takes some 10 ms) answers during the pause an operation makes after opening. A
    // server that does not confirm by the end of the connect limit is used as it is.
    bool open(const std::string& url, const std::string& lineDefinition) override;
    void close() override;
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    void discardInput() override;
    DeviceFailure failure() const override { return failure_; }
    std::optional<uint32_t> replyWaitMs() const override { return replyWaitMs_; }
    size_t keptBytes() const { return received_.size(); }

private:
    // Receives once, until bytes come or the deadline passes: the count received, -1 when the
    // connection is gone.
    long receiveUntil(int64_t deadlineNs);
    bool lost() const;
    void loseConnection(DeviceFailure why);
    bool send(const std::vector<uint8_t>& bytes);
    void settle();

    std::unique_ptr<NetworkSocket> socket_;
    bool open_ = false;
    bool telnet_ = false;
    bool settled_ = true;
    int64_t settleBy_ = 0;
    std::string lineDefinition_;
    TelnetCodec codec_;
    std::deque<uint8_t> received_;
    DeviceFailure failure_ = DeviceFailure::none;
    std::optional<uint32_t> replyWaitMs_;
};

} // namespace tempik
