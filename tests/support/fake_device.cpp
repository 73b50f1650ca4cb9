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
    const bool isGone = gone || goneAt.count(path_) != 0;
    if (open_ && !isGone && !input_.empty()) {
        value = input_.front();
        input_.pop_front();
        if (bytesPerMs != 0 && ++bytesRead_ % bytesPerMs == 0)
            clock_.advance(1);
        return ReadOutcome::byte;
    }
    clock_.advance(1);  // the 1 ms read time-out
    if (isGone) {
        failure_ = DeviceFailure::gone;
        return ReadOutcome::gone;
    }
    return ReadOutcome::none;
}

std::vector<std::string> FakeDevice::requests() const
{
    std::vector<std::string> payloads;
    for (const std::string& line : wire())
        if (line.rfind("send ", 0) == 0)
            payloads.push_back(line.substr(5));
    return payloads;
}

std::vector<std::string> FakeDevice::wire(bool stamped) const
{
    std::vector<std::string> lines;
    const uint32_t origin = events.empty() ? 0 : events.front().timeMs;
    auto add = [&](const std::string& line, uint32_t t) {
        lines.push_back(stamped ? line + " @" + std::to_string(t - origin) : line);
    };
    std::vector<uint8_t> frame;
    uint32_t frameStart = 0;
    for (const DeviceEvent& event : events) {
        switch (event.kind) {
        case DeviceEvent::open: add("open " + event.path + " " + event.lineDefinition, event.timeMs); break;
        case DeviceEvent::openFailed: add("open-failed " + event.path, event.timeMs); break;
        case DeviceEvent::close: add("close", event.timeMs); break;
        case DeviceEvent::write:
            if (frame.empty())
                frameStart = event.timeMs;
            frame.insert(frame.end(), event.bytes.begin(), event.bytes.end());
            if (event.bytes.size() == 1 && event.bytes[0] == CR) {
                if (frame.size() >= 7 && frame.front() == SOH)
                    add("send " + std::string(frame.begin() + 1, frame.end() - 6), frameStart);
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
    const auto path = paths.find(portNumber);
    return path == paths.end() ? portName(portNumber) : path->second;
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

std::vector<uint8_t> readerReply(const std::string& payload, const std::vector<uint8_t>& status,
                                 const std::vector<uint8_t>& version)
{
    return payload == "0000AS" ? status : payload == "0000AV" ? version : ackReply();
}

Responder readerOn(const std::string& path, const std::string& line, std::vector<uint8_t> status,
                   std::vector<uint8_t> version)
{
    return [=](const std::string& openPath, const std::string& openLine, const std::string& payload) {
        return openPath == path && (line.empty() || openLine == line) ? readerReply(payload, status, version)
                                                                      : std::vector<uint8_t>();
    };
}

} // namespace tempik::testing
