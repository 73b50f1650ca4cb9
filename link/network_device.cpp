#include "link/network_device.h"

#include "link/clock.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace tempik {

namespace {
constexpr int64_t readWaitNs = 1'000'000;
constexpr int64_t nsPerMs = 1'000'000;
// What one discard reads at most: a flood must not hold the request back.
constexpr int discardReads = 64;
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
            if (receiveUntil(std::min(settleBy_, now + readWaitNs)) < 0)
                return false;
        return true;
    };
    if (!waitFor([&] { return codec_.comPort() != TelnetCodec::ComPort::asked; }))
        return;
    // Without the option the line cannot be set nor the queues purged, and our Telnet bytes
    // would reach the reader's line: the port is not what the URL says.
    if (codec_.comPort() != TelnetCodec::ComPort::accepted) {
        loseConnection(DeviceFailure::noRfc2217Server);
        return;
    }
    std::vector<uint8_t> commands;
    if (const std::optional<LineDefinition> line = parseLineDefinition(lineDefinition_))
        commands = codec_.lineCommands(*line);
    const std::vector<uint8_t> purge = codec_.purgeCommand();
    commands.insert(commands.end(), purge.begin(), purge.end());
    if (!send(commands) || !waitFor([&] { return codec_.purgeConfirmed(); }))
        return;
    // What came before the agreement belongs to an earlier session, like what the purge dropped.
    received_.clear();
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
    if (lost())
        return false;
    if (socket_->send(bytes.data(), bytes.size()))
        return true;
    // Output that cannot leave (a reset, a server that never reads) would make every later
    // write wait as long: the port is gone until it is opened again.
    loseConnection(DeviceFailure::gone);
    return false;
}

void NetworkDevice::write(const uint8_t* data, size_t count)
{
    if (!open_)
        return;
    settle();
    if (lost())
        return;
    if (!telnet_) {
        send(std::vector<uint8_t>(data, data + count));
        return;
    }
    std::vector<uint8_t> out;
    codec_.encode(data, count, out);
    send(out);
}

long NetworkDevice::receiveUntil(int64_t deadlineNs)
{
    uint8_t buffer[512];
    const long n = socket_->receive(buffer, sizeof buffer, deadlineNs);
    if (n < 0) {
        loseConnection(DeviceFailure::gone);
        return -1;
    }
    auto keep = [&](const uint8_t* bytes, size_t count) {
        const size_t room = keptLimit - std::min(keptLimit, received_.size());
        received_.insert(received_.end(), bytes, bytes + std::min(count, room));
    };
    if (!telnet_) {
        keep(buffer, static_cast<size_t>(n));
        return n;
    }
    std::vector<uint8_t> data, answers;
    codec_.decode(buffer, static_cast<size_t>(n), data, answers);
    keep(data.data(), data.size());
    return answers.empty() || send(answers) ? n : -1;
}

bool NetworkDevice::lost() const
{
    return failure_ == DeviceFailure::gone || failure_ == DeviceFailure::noRfc2217Server;
}

void NetworkDevice::loseConnection(DeviceFailure why)
{
    if (!lost())
        failure_ = why;
    received_.clear();
    socket_->close();
}

void NetworkDevice::discardInput()
{
    if (!open_)
        return;
    settle();
    // What the connection holds already is read (the server's commands among it still count)
    // and dropped with what was buffered.
    for (int reads = 0; reads < discardReads && !lost(); ++reads)
        if (receiveUntil(monotonicNanoseconds()) <= 0)
            break;
    received_.clear();
}

ReadOutcome NetworkDevice::readByte(uint8_t& value)
{
    settle();
    const int64_t deadline = monotonicNanoseconds() + readWaitNs;
    // Nothing received before the connection was lost counts; the wait keeps the caller's pace.
    if (lost()) {
        std::this_thread::sleep_for(std::chrono::nanoseconds(readWaitNs));
        return ReadOutcome::gone;
    }
    while (received_.empty()) {
        // A closed connection still costs the socket's whole wait: no spinning on it.
        if (receiveUntil(deadline) < 0)
            return ReadOutcome::gone;
        if (received_.empty() && monotonicNanoseconds() >= deadline)
            return ReadOutcome::none;
    }
    value = received_.front();
    received_.pop_front();
    return ReadOutcome::byte;
}

} // namespace tempik
