#pragma once
// The serial device on POSIX termios: exclusive open (flock, then TIOCEXCL), raw 8-bit line,
// 1 ms reads through poll that tell "no byte yet" from "device gone", drained writes.
#include "link/serial_device.h"

#include <termios.h>

namespace tempik {

class PosixSerialDevice final : public SerialDevice {
public:
    PosixSerialDevice() = default;
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool open(const std::string& path, const std::string& lineDefinition) override;
    void close() override;
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    DeviceFailure failure() const override { return failure_; }

    int descriptor() const { return fd_; }

private:
    int fd_ = -1;
    DeviceFailure failure_ = DeviceFailure::none;
    struct termios savedTermios_ {};
    bool haveSavedTermios_ = false;
};

} // namespace tempik
