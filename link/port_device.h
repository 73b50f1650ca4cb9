#pragma once
// The device the link opens: a local serial device for a device path, a network port for a
// URL (network_url.h), so a port map entry can name either and nothing above the link knows.
#include "link/serial_device.h"

namespace tempik {

class PortDevice final : public SerialDevice {
public:
    PortDevice(std::unique_ptr<SerialDevice> local, std::unique_ptr<SerialDevice> network);

    bool open(const std::string& path, const std::string& lineDefinition) override;
    void close() override { current_->close(); }
    void keepLineAtClose() override { current_->keepLineAtClose(); }
    void write(const uint8_t* data, size_t count) override { current_->write(data, count); }
    ReadOutcome readByte(uint8_t& value) override { return current_->readByte(value); }
    void discardInput() override { current_->discardInput(); }
    DeviceFailure failure() const override { return current_->failure(); }
    std::optional<uint32_t> replyWaitMs() const override { return current_->replyWaitMs(); }

private:
    std::unique_ptr<SerialDevice> local_;
    std::unique_ptr<SerialDevice> network_;
    SerialDevice* current_;
};

// The platform's serial device beside a network device on the platform's sockets.
std::unique_ptr<SerialDevice> makePortDevice();

} // namespace tempik
