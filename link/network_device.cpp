#include "link/network_device.h"

#include "link/clock.h"

#include <algorithm>

namespace tempik {

namespace {
constexpr int64_t readWaitNs = 1'000'000;
constexpr int64_t nsPerMs = 1'000'000;
} // namespace

NetworkDevice::NetworkDevice(std::unique_ptr<NetworkSocket> socket) : socket_(std::move(socket)) {}

NetworkDevice::~NetworkDevice()
{
    close();
}

bool NetworkDevice::open(const std::string& url, const std::string& lineDefinition)
{
    close();
    received_.clear();
    codec_ = TelnetCodec();
    failure_ = DeviceFailure::none;
    const std::optional<NetworkAddress> address = parseNetworkUrl(url);
    if (!address) {
        failure_ = DeviceFailure::noSuchPort;
        return false;
    }
    settleBy_ = monotonicNanoseconds() + connectLimitMs * nsPerMs;
    if (!socket_->connect(address->host, address->port, connectLimitMs, failure_))
        return false;
    open_ = true;
    telnet_ = address->rfc2217;
    replyWaitMs_ = address->replyWaitMs;
    lineDefinition_ = lineDefinition;
    settled_ = !telnet_;
    if (telnet_ && !send(codec_.opening()))
        settled_ = true;   // gone already: the reads say so
    return true;
}

void NetworkDevice::settle()
{
    if (settled_)
        return;
    settled_ = true;
    // In read-sized steps: a closed connection costs its one wait, not the rest of the limit.
    auto waitFor = [&](auto done) {
        for (int64_t now = monotonicNanoseconds(); !done() && now < settleBy_; now = monotonicNanoseconds())
            if (!receiveUntil(std::min(settleBy_, now + readWaitNs)))
                return false;
        return true;
    };
    if (!waitFor([&] { return codec_.comPort() != TelnetCodec::ComPort::asked; }))
        return;
    if (codec_.comPort() == TelnetCodec::ComPort::accepted) {
        std::vector<uint8_t> commands;
        if (const std::optional<LineDefinition> line = parseLineDefinition(lineDefinition_))
            commands = codec_.lineCommands(*line);
        const std::vector<uint8_t> purge = codec_.purgeCommand();
        commands.insert(commands.end(), purge.begin(), purge.end());
        if (!send(commands) || !waitFor([&] { return codec_.purgeConfirmed(); }))
            return;
    }
    // A server that never confirms must not keep the replies from us for good.
    codec_.stopAwaiting();
}

void NetworkDevice::close()
{
    if (!open_)
        return;
    socket_->close();
    open_ = false;
    settled_ = true;
}

bool NetworkDevice::send(const std::vector<uint8_t>& bytes)
{
    if (socket_->send(bytes.data(), bytes.size()))
        return true;
    failure_ = DeviceFailure::gone;
    return false;
}

void NetworkDevice::write(const uint8_t* data, size_t count)
{
    if (!open_)
        return;
    settle();
    if (!telnet_) {
        send(std::vector<uint8_t>(data, data + count));
        return;
    }
    std::vector<uint8_t> out;
    codec_.encode(data, count, out);
    send(out);
}

bool NetworkDevice::receiveUntil(int64_t deadlineNs)
{
    uint8_t buffer[512];
    const long n = socket_->receive(buffer, sizeof buffer, deadlineNs);
    if (n < 0) {
        failure_ = DeviceFailure::gone;
        return false;
    }
    if (!telnet_) {
        received_.insert(received_.end(), buffer, buffer + n);
        return true;
    }
    std::vector<uint8_t> data, answers;
    codec_.decode(buffer, static_cast<size_t>(n), data, answers);
    received_.insert(received_.end(), data.begin(), data.end());
    return answers.empty() || send(answers);
}

ReadOutcome NetworkDevice::readByte(uint8_t& value)
{
    settle();
    const int64_t deadline = monotonicNanoseconds() + readWaitNs;
    while (received_.empty()) {
        // A closed connection still costs the socket's whole wait: no spinning on it.
        if (!receiveUntil(deadline))
            return ReadOutcome::gone;
        if (received_.empty() && monotonicNanoseconds() >= deadline)
            return ReadOutcome::none;
    }
    value = received_.front();
    received_.pop_front();
    return ReadOutcome::byte;
}

} // namespace tempik
