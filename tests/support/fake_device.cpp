#include "tests/support/fake_device.h"

#include "link/frame.h"

namespace tempik::testing {

bool FakeDevice::open(const std::string& path, const std::string& lineDefinition)
{
    failure_ = DeviceFailure::none;
    if (!existing.empty() && existing.count(path) == 0)
        failure_ = DeviceFailure::noSuchPort;
    else if (auto refused = refusing.find(path); refused != refusing.end())
        failure_ = refused->second;
    if (failure_ != DeviceFailure::none) {
        events.push_back({DeviceEvent::openFailed, clock_.nowMs(), path, lineDefinition, {}});
        return false;
    }
    open_ = true;
    path_ = path;
    line_ = lineDefinition;
    input_.assign(pendingInput.begin(), pendingInput.end());
    partialFrame_.clear();
    events.push_back({DeviceEvent::open, clock_.nowMs(), path, lineDefinition, {}});
    return true;
}

void FakeDevice::close()
{
    events.push_back({DeviceEvent::close, clock_.nowMs(), path_, line_, {}});
    open_ = false;
    input_.clear();
    partialFrame_.clear();
}

void FakeDevice::write(const uint8_t* data, size_t count)
{
    events.push_back({DeviceEvent::write, clock_.nowMs(), path_, line_, std::vector<uint8_t>(data, data + count)});
    partialFrame_.insert(partialFrame_.end(), data, data + count);
    // The frame writer sends its CR alone, last.
    if (count != 1 || data[0] != CR)
        return;
    const std::vector<uint8_t> frame = std::move(partialFrame_);
    partialFrame_.clear();
    if (frame.size() < 7 || frame.front() != SOH || frame[frame.size() - 6] != STX || !responder)
        return;
    const std::string payload(frame.begin() + 1, frame.end() - 6);
    const std::vector<uint8_t> reply = responder(path_, line_, payload);
    input_.insert(input_.end(), reply.begin(), reply.end());
}

ReadOutcome FakeDevice::readByte(uint8_t& value)
{
    if (open_ && !gone && !input_.empty()) {
        value = input_.front();
        input_.pop_front();
        return ReadOutcome::byte;
    }
    clock_.advance(1);  // the 1 ms read time-out
    if (gone) {
        failure_ = DeviceFailure::gone;
        return ReadOutcome::gone;
    }
    return ReadOutcome::none;
}

std::vector<std::string> FakeDevice::requests() const
{
    std::vector<std::string> payloads;
    std::vector<uint8_t> frame;
    for (const DeviceEvent& event : events) {
        if (event.kind != DeviceEvent::write)
            continue;
        frame.insert(frame.end(), event.bytes.begin(), event.bytes.end());
        if (event.bytes.size() == 1 && event.bytes[0] == CR) {
            if (frame.size() >= 7 && frame.front() == SOH)
                payloads.emplace_back(frame.begin() + 1, frame.end() - 6);
            frame.clear();
        }
    }
    return payloads;
}

std::vector<std::string> FakeDevice::wire() const
{
    std::vector<std::string> lines;
    std::vector<uint8_t> frame;
    for (const DeviceEvent& event : events) {
        switch (event.kind) {
        case DeviceEvent::open: lines.push_back("open " + event.path + " " + event.lineDefinition); break;
        case DeviceEvent::openFailed: lines.push_back("open-failed " + event.path); break;
        case DeviceEvent::close: lines.push_back("close"); break;
        case DeviceEvent::write:
            frame.insert(frame.end(), event.bytes.begin(), event.bytes.end());
            if (event.bytes.size() == 1 && event.bytes[0] == CR) {
                if (frame.size() >= 7 && frame.front() == SOH)
                    lines.push_back("send " + std::string(frame.begin() + 1, frame.end() - 6));
                frame.clear();
            }
            break;
        }
    }
    return lines;
}

std::optional<std::string> FakePortMap::devicePath(int portNumber) const
{
    if (portNumber < 1 || (!ports.empty() && ports.count(portNumber) == 0))
        return std::nullopt;
    return portName(portNumber);
}

std::vector<uint8_t> statusReply(const std::string& identifier, const std::string& serial, size_t dataLength)
{
    std::string data = identifier + "00" + serial;
    data.resize(dataLength, '0');
    return buildReplyFrame(data);
}

std::vector<uint8_t> versionReply(const std::string& version)
{
    return buildReplyFrame("004200" + version);
}

std::vector<uint8_t> ackReply()
{
    return buildReplyFrame("0000OK");
}

std::string bytesText(const std::vector<uint8_t>& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

} // namespace tempik::testing
