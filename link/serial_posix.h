#pragma once
// The serial device on POSIX termios: exclusive open (UUCP lock files honoured, flock, then
// TIOCEXCL), raw 8-bit line, 1 ms reads through poll that tell "no byte yet" from "device gone",
// drained writes with a bound.
#include "link/port_locks_linux.h"
#include "link/serial_device.h"

#include <termios.h>

namespace tempik {

// Kind of failure an errno of open(2) or read(2) stands for.
DeviceFailure failureFromErrno(int error);

// Raw 8-bit line: no echo, no signals, no translation of CR/NL, no software or hardware flow
// control, CLOCAL | CREAD. Leaves speed, parity, data and stop bits alone.
void makeRaw(struct termios& line);

// Sets speed, parity, data and stop bits of line from a definition such as "19200,e,8,1".
// False, with line unchanged, when the text does not parse or the speed has no termios value.
bool applyLineDefinition(struct termios& line, const std::string& lineDefinition);

class PosixSerialDevice final : public SerialDevice {
public:
    // lockFolder: where UUCP lock files are sought (tests give a folder of their own).
    explicit PosixSerialDevice(std::string lockFolder = systemLockFolder);
    ~PosixSerialDevice() override;
    PosixSerialDevice(const PosixSerialDevice&) = delete;
    PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

    bool open(const std::string& path, const std::string& lineDefinition) override;
    void close() override;
    void keepLineAtClose() override { keepLine_ = true; }
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    void discardInput() override;
    DeviceFailure failure() const override { return failure_; }

    int descriptor() const { return fd_; }

private:
    void giveUpOutput();

    std::string lockFolder_;
    int fd_ = -1;
    DeviceFailure failure_ = DeviceFailure::none;
    struct termios savedTermios_ {};
    bool haveSavedTermios_ = false;
    bool keepLine_ = false;
    bool clearExclusiveAtClose_ = false;
    bool outputStalled_ = false;
};

} // namespace tempik
