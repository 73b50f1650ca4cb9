#pragma once
// An in-memory serial device: records every open (with its line definition, parity included,
// which a pseudo-terminal cannot show), close and write with the fake clock's time, and plays
// replies that a responder gives for each complete request frame. Also the replies of our
// reader, a device that counts the calls to another, and port maps of made-up ports.
#include "link/port_map.h"
#include "link/serial_device.h"
#include "tests/support/fake_clock.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tempik::testing {

struct DeviceEvent {
    enum Kind { open, openFailed, close, write };
    Kind kind;
    uint32_t timeMs;
    std::string path;
    std::string lineDefinition;
    std::vector<uint8_t> bytes;   // write only
};

// What the device on path answers to one request payload, at the line definition it was opened
// with. Empty: silence.
using Responder = std::function<std::vector<uint8_t>(const std::string& path, const std::string& lineDefinition,
                                                     const std::string& payload)>;

class FakeDevice final : public SerialDevice {
public:
    explicit FakeDevice(FakeClock& clock) : clock_(clock) {}

    bool open(const std::string& path, const std::string& lineDefinition) override;
    void close() override;
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    void discardInput() override { input_.clear(); }
    DeviceFailure failure() const override { return failure_; }

    // Paths that exist; an empty set means every path exists.
    std::set<std::string> existing;
    // Paths that exist but refuse to open, with the reason.
    std::map<std::string, DeviceFailure> refusing;
    Responder responder;
    // Bytes read as soon as the device is open (left-overs, noise).
    std::vector<uint8_t> pendingInput;
    // From then on every read reports the device gone (after its 1 ms wait).
    bool gone = false;
    // Paths whose device is gone once opened (every read reports it, after its 1 ms wait).
    std::set<std::string> goneAt;
    // A flood: time moves on 1 ms for every this many bytes read (0: bytes take no time).
    size_t bytesPerMs = 0;

    std::vector<DeviceEvent> events;

    // The payloads of the request frames written, in order (frames parsed from the writes).
    std::vector<std::string> requests() const;
    // One line per event: "open COM3 9600,e,8,1", "send 0000AS", "close". stamped: each line
    // ends in " @t", ms since the first event, a request at the time its first byte was written.
    std::vector<std::string> wire(bool stamped = false) const;
    bool isOpen() const { return open_; }

private:
    FakeClock& clock_;
    bool open_ = false;
    std::string path_;
    std::string line_;
    DeviceFailure failure_ = DeviceFailure::none;
    std::vector<uint8_t> partialFrame_;
    std::deque<uint8_t> input_;
    size_t bytesRead_ = 0;
};

// Port n is the path paths[n]; no other port exists.
class PathPortMap final : public PortMap {
public:
    std::map<int, std::string> paths;
    std::optional<std::string> devicePath(int n) const override
    {
        auto it = paths.find(n);
        return it == paths.end() ? std::nullopt : std::optional<std::string>(it->second);
    }
};

// Passes every call to another device (the real one) and counts them.
class CountingDevice final : public SerialDevice {
public:
    explicit CountingDevice(SerialDevice& inner) : inner_(inner) {}
    bool open(const std::string& path, const std::string& line) override { ++opens; return inner_.open(path, line); }
    void close() override { ++closes; inner_.close(); }
    void keepLineAtClose() override { inner_.keepLineAtClose(); }
    void write(const uint8_t* data, size_t count) override { inner_.write(data, count); }
    ReadOutcome readByte(uint8_t& value) override { ++reads; return inner_.readByte(value); }
    void discardInput() override { inner_.discardInput(); }
    DeviceFailure failure() const override { return inner_.failure(); }
    int opens = 0, closes = 0, reads = 0;

private:
    SerialDevice& inner_;
};

// Port n is the path "COM<n>" when n is in the set (all 1..32 when empty), or paths[n].
class FakePortMap final : public PortMap {
public:
    std::set<int> ports;
    std::map<int, std::string> paths;
    std::optional<std::string> devicePath(int portNumber) const override;
};

// Reply frames of our reader.
std::vector<uint8_t> statusReply(const std::string& identifier = "0042", const std::string& serial = "12345678",
                                 size_t dataLength = 14);
std::vector<uint8_t> versionReply(const std::string& version = "01.40-01");
std::vector<uint8_t> ackReply();
std::string bytesText(const std::vector<uint8_t>& bytes);
inline std::vector<uint8_t> bytesOf(const std::string& text) { return {text.begin(), text.end()}; }

// What a reader that takes everything answers: the status query with status, the version query
// with version (empty: silence), anything else with an acknowledgement.
std::vector<uint8_t> readerReply(const std::string& payload, const std::vector<uint8_t>& status = statusReply(),
                                 const std::vector<uint8_t>& version = versionReply());
// That reader on path only, opened with line (empty: any line); silence everywhere else.
Responder readerOn(const std::string& path, const std::string& line, std::vector<uint8_t> status = statusReply(),
                   std::vector<uint8_t> version = versionReply());

} // namespace tempik::testing
