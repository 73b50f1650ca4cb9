#include "link/reader_link.h"

#include "link/frame.h"
#include "link/stop_request.h"

#include <algorithm>
#include <cstring>

namespace tempik {

ReaderLink::ReaderLink(SerialDevice& device, Clock& clock, const PortMap& ports)
    : device_(device), clock_(clock), ports_(ports)
{
}

bool ReaderLink::openChannel(int portNumber, const std::string& lineDefinition)
{
    const std::optional<std::string> path = ports_.devicePath(portNumber);
    lastPath_ = path.value_or(std::string());
    if (!path) {
        lastFailure_ = DeviceFailure::noSuchPort;
        return false;
    }
    if (stopRequested()) {
        lastFailure_ = DeviceFailure::other;
        return false;
    }
    open_ = device_.open(*path, lineDefinition);
    lastFailure_ = open_ ? DeviceFailure::none : device_.failure();
    replyWaitMs_ = open_ ? device_.replyWaitMs().value_or(replyDeadlineMs) : replyDeadlineMs;
    if (lastFailure_ == DeviceFailure::accessDenied)
        refused_.emplace_back(portNumber, *path);
    if (!open_ && lastFailure_ != DeviceFailure::noSuchPort && lastFailure_ != DeviceFailure::notSerial)
        unopened_.push_back({portNumber, *path, lastFailure_});
    return open_;
}

void ReaderLink::closeChannel()
{
    if (!open_)
        return;
    device_.close();
    open_ = false;
}

void ReaderLink::writeByte(uint8_t value)
{
    writeBlock(&value, 1, bytePauseMs);
}

void ReaderLink::writeBlock(const uint8_t* bytes, size_t count)
{
    writeBlock(bytes, count, blockPauseMs);
}

void ReaderLink::writeBlock(const uint8_t* bytes, size_t count, uint32_t pauseMs)
{
    device_.write(bytes, count);
    const DeviceFailure failure = device_.failure();
    if (failure == DeviceFailure::gone || failure == DeviceFailure::noRfc2217Server)
        noteDeviceLoss();
    clock_.sleepMs(pauseMs);
}

bool ReaderLink::deviceLost() const
{
    return lastFailure_ == DeviceFailure::gone || lastFailure_ == DeviceFailure::noRfc2217Server;
}

// A write that gave up (output that never drains, a closed connection), or a read that found
// the device gone, leaves it lost until the next open.
void ReaderLink::noteDeviceLoss()
{
    const DeviceFailure failure = device_.failure();
    lastFailure_ = failure == DeviceFailure::noRfc2217Server ? failure : DeviceFailure::gone;
}

bool ReaderLink::readByte(uint8_t& value)
{
    const ReadOutcome outcome = device_.readByte(value);
    if (outcome == ReadOutcome::gone)
        noteDeviceLoss();
    return outcome == ReadOutcome::byte;
}

// The marks let through a frame whose last EOT has four data bytes before it, while the check is
// taken at its first EOT; and the check is judged only on the frame just stored, never on bytes
// an earlier, unfinished frame left further on in the buffer. A frame is good only when that
// first EOT, inside the frame, follows at least four data bytes.
bool ReaderLink::firstEotFollowsFourBytes() const
{
    const uint8_t* begin = replyBuffer_.data();
    const uint8_t* eot = std::find(begin, begin + replyLength_, EOT);
    return eot != begin + replyLength_ && eot - begin >= 5;
}

bool ReaderLink::sendCommand(const std::string& payload, bool awaitReply)
{
    replyBuffer_.fill(0);
    // The frame carries no length, but the payload is counted up to its first zero byte, as a
    // C string would be; a payload past 255 bytes is outside the format and is not sent.
    const size_t n = strnlen(payload.c_str(), payload.size());
    if (n == 0 || n > 255 || stopRequested() || deviceLost())
        return false;

    const auto* bytes = reinterpret_cast<const uint8_t*>(payload.data());
    const std::string digits = requestCheckDigits(bytes, n);
    writeByte(SOH);
    writeBlock(bytes, n);
    writeByte(STX);
    for (char digit : digits)
        writeByte(static_cast<uint8_t>(digit));
    // The reader answers only after the CR: whatever came before it is a reply that missed its
    // own wait (or noise), never this request's. Dropped here rather than after the CR, so a
    // quick reply cannot be dropped with it.
    device_.discardInput();
    writeByte(CR);
    replyLength_ = 0;
    if (observer_)
        observer_(Direction::sent, buildRequestFrame(payload.substr(0, n)));

    if (!awaitReply) {
        waitMilliseconds(clock_, unawaitedSpinMs);
        return !deviceLost();
    }

    std::vector<uint8_t> received;
    auto keep = [&](uint8_t b) {
        if (received.size() < traceLimit)
            received.push_back(b);
    };
    auto finish = [&](bool result) {
        if (observer_ && !received.empty())
            observer_(Direction::received, received);
        return result;
    };

    const uint32_t start = clock_.nowMs();
    uint32_t elapsed = 0;
    // Positions just past the last ETX and EOT stored; wider than a byte so that replies longer
    // than 255 bytes are judged like any other.
    size_t etxMark = 0;
    size_t eotMark = 0;
    // The deadline is measured after every read, a byte or not: a far end that never stops
    // sending, and never sends a CR, must not hold the exchange.
    while (elapsed <= replyWaitMs_ && !stopRequested() && !deviceLost()) {
        uint8_t b = 0;
        const bool got = readByte(b);
        if (!got && pump_)
            pump_();
        elapsed = elapsedSince(clock_, start);
        if (!got)
            continue;
        if (observer_)
            keep(b);
        if (b == ETX)
            replyLength_ = 0;
        replyBuffer_[replyLength_++] = b;
        if (replyLength_ == replyBufferSize) {
            replyLength_ = 0;
            return finish(false);
        }
        if (b == ETX)
            etxMark = replyLength_;
        if (b == EOT)
            eotMark = replyLength_;
        if (b == CR) {
            if (etxMark != 0 && eotMark != 0 && eotMark > etxMark + 4) {
                replyBuffer_[replyLength_] = 0;
                const char* text = reinterpret_cast<const char*>(replyBuffer_.data());
                replyText_.assign(text, strnlen(text, replyLength_));
                const bool good = replyCrcMatches(replyBuffer_.data(), replyLength_) && firstEotFollowsFourBytes();
                if (good)
                    device_.keepLineAtClose();
                return finish(good);
            }
            return finish(false);
        }
    }
    return finish(false);
}

} // namespace tempik
