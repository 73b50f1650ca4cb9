#pragma once
// The one serial channel of the program and the request/reply exchange over it: opening a
// port by number, the paced writes, the 1 ms reads and sendCommand with its 120 ms reply wait.
// The reply buffer, its fill count and the last accepted reply live here for callers to read.
#include "link/clock.h"
#include "link/port_map.h"
#include "link/serial_device.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace tempik {

class ReaderLink {
public:
    static constexpr size_t replyBufferSize = 1024;
    static constexpr uint32_t replyDeadlineMs = 120;
    static constexpr uint32_t bytePauseMs = 2;
    static constexpr uint32_t blockPauseMs = 10;
    static constexpr uint32_t unawaitedSpinMs = 10;
    // The most bytes of one reply wait the frame observer is shown: a flood is cut here.
    static constexpr size_t traceLimit = 4 * replyBufferSize;

    ReaderLink(SerialDevice& device, Clock& clock, const PortMap& ports);
    ReaderLink(const ReaderLink&) = delete;
    ReaderLink& operator=(const ReaderLink&) = delete;

    // Resolves the port number through the port map and opens the device exclusively with the
    // line definition. False when the port does not exist or cannot be opened; nothing is
    // retried or shown. A definition that does not parse still opens.
    bool openChannel(int portNumber, const std::string& lineDefinition);
    // Once after each successful openChannel, never after a failed one.
    void closeChannel();
    bool isOpen() const { return open_; }

    void writeByte(uint8_t value);                     // then 2 ms
    void writeBlock(const uint8_t* bytes, size_t count); // then 10 ms
    bool readByte(uint8_t& value);                     // at most ~1 ms

    // Frames payload and writes it. With awaitReply, waits up to 120 ms for a reply frame and
    // returns whether one ending in CR passed the marker rule and the check; the wait ends at
    // its deadline even while bytes keep arriving. Without, spins 10 ms and returns true.
    // False at once, with nothing written, once a stop has been requested.
    bool sendCommand(const std::string& payload, bool awaitReply);

    const std::array<uint8_t, replyBufferSize>& ReplyBuffer() const { return replyBuffer_; }
    size_t replyLength() const { return replyLength_; }
    const std::string& replyText() const { return replyText_; }

    // Lets the window process its pending events between empty reads of a reply wait.
    void setMessagePump(std::function<void()> pump) { pump_ = std::move(pump); }

    // Sees every request frame written and the bytes each awaited exchange received.
    enum class Direction { sent, received };
    using FrameObserver = std::function<void(Direction, const std::vector<uint8_t>&)>;
    void setFrameObserver(FrameObserver observer) { observer_ = std::move(observer); }

    // Why the last open failed, or that the device went away; and the path it resolved to.
    DeviceFailure lastFailure() const { return lastFailure_; }
    const std::string& lastDevicePath() const { return lastPath_; }
    // The device went away, or turned out unusable, since the last open: nothing more is sent.
    bool deviceLost() const;
    // The ports (and their devices) whose open was refused for lack of permission since the last
    // forget: a scan that finds no reader can tell the operator why and what to do.
    const std::vector<std::pair<int, std::string>>& refusedForPermission() const { return refused_; }
    void forgetRefusedPorts()
    {
        refused_.clear();
        unopened_.clear();
    }
    // Every port whose device was there but would not open (held, refused, unreachable ...)
    // since the last forget, with why: what was behind it is unknown.
    struct UnopenedPort {
        int port;
        std::string device;
        DeviceFailure failure;
    };
    const std::vector<UnopenedPort>& unopenedPorts() const { return unopened_; }

    Clock& clock() { return clock_; }

private:
    bool firstEotFollowsFourBytes() const;
    void noteDeviceLoss();
    void writeBlock(const uint8_t* bytes, size_t count, uint32_t pauseMs);

    SerialDevice& device_;
    Clock& clock_;
    const PortMap& ports_;
    std::function<void()> pump_;
    FrameObserver observer_;
    std::array<uint8_t, replyBufferSize> replyBuffer_{};
    size_t replyLength_ = 0;
    std::string replyText_;
    bool open_ = false;
    DeviceFailure lastFailure_ = DeviceFailure::none;
    std::string lastPath_;
    uint32_t replyWaitMs_ = replyDeadlineMs;   // longer only for a port that asks for it
    std::vector<std::pair<int, std::string>> refused_;
    std::vector<UnopenedPort> unopened_;
};

} // namespace tempik
