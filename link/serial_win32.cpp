// The serial device on the Win32 communications API: an exclusive synchronous handle on
// \\.\COMn, the port's time-outs saved at open and put back at close, reads that return after at
// most 1 ms, the line set from its mode string, and both queues purged at open.
#include "link/clock.h"
#include "link/serial_device.h"

#include <windows.h>

namespace tempik {

namespace {

constexpr int64_t readWaitNs = 1'000'000;

// Reads return what is there, or nothing after 1 ms; writes have no time-out.
COMMTIMEOUTS channelTimeouts()
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 0;
    return timeouts;
}

DeviceFailure failureFromError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
        return DeviceFailure::noSuchPort;
    // A COM port open in another program refuses a second open with "access denied".
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return DeviceFailure::busy;
    default:
        return DeviceFailure::other;
    }
}

// The errors of a port whose device went away (a USB adapter pulled out).
bool isGoneError(DWORD error)
{
    switch (error) {
    case ERROR_BAD_COMMAND:
    case ERROR_ACCESS_DENIED:
    case ERROR_DEVICE_REMOVED:
    case ERROR_DEVICE_NOT_CONNECTED:
    case ERROR_GEN_FAILURE:
    case ERROR_INVALID_HANDLE:
    case ERROR_NOT_READY:
    case ERROR_FILE_NOT_FOUND:
    case ERROR_BROKEN_PIPE:
        return true;
    default:
        return false;
    }
}

void waitUntil(int64_t deadlineNs)
{
    while (monotonicNanoseconds() < deadlineNs)
        Sleep(0);
}

class Win32SerialDevice final : public SerialDevice {
public:
    Win32SerialDevice() = default;
    ~Win32SerialDevice() override { close(); }
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool open(const std::string& path, const std::string& lineDefinition) override;
    void close() override;
    void write(const uint8_t* data, size_t count) override;
    ReadOutcome readByte(uint8_t& value) override;
    void discardInput() override
    {
        if (handle_ != INVALID_HANDLE_VALUE)
            PurgeComm(handle_, PURGE_RXCLEAR);
    }
    DeviceFailure failure() const override { return failure_; }

private:
    // A failed read: the device gone, or a line error that stopped the port until it is cleared.
    bool readFailureMeansGone(DWORD error);

    HANDLE handle_ = INVALID_HANDLE_VALUE;
    DeviceFailure failure_ = DeviceFailure::none;
    COMMTIMEOUTS savedTimeouts_{};
    bool haveSavedTimeouts_ = false;
};

bool Win32SerialDevice::open(const std::string& path, const std::string& lineDefinition)
{
    close();
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        failure_ = failureFromError(GetLastError());
        return false;
    }
    // Something that has no line state is no serial port; a sweep must pass over it at once
    // rather than wait for replies on it (Wine opens a COM port mapped to nothing).
    DCB line{};
    line.DCBlength = sizeof line;
    if (!GetCommState(handle, &line)) {
        CloseHandle(handle);
        failure_ = DeviceFailure::notSerial;
        return false;
    }
    handle_ = handle;
    failure_ = DeviceFailure::none;
    // From here failures are ignored: the port is open, and a reader that cannot be reached is
    // found out by the reply wait.
    haveSavedTimeouts_ = GetCommTimeouts(handle_, &savedTimeouts_) != 0;
    COMMTIMEOUTS timeouts = channelTimeouts();
    SetCommTimeouts(handle_, &timeouts);
    // A definition the parser refuses leaves the line as it was.
    if (BuildCommDCBA(lineDefinition.c_str(), &line))
        SetCommState(handle_, &line);
    // A late answer to an earlier session must not be taken for a reply to this one.
    PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return true;
}

void Win32SerialDevice::close()
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return;
    if (haveSavedTimeouts_)
        SetCommTimeouts(handle_, &savedTimeouts_);
    CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    haveSavedTimeouts_ = false;
}

void Win32SerialDevice::write(const uint8_t* data, size_t count)
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    if (!WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr) && isGoneError(GetLastError()))
        failure_ = DeviceFailure::gone;
}

bool Win32SerialDevice::readFailureMeansGone(DWORD error)
{
    if (isGoneError(error))
        return true;
    // With abort-on-error set, a parity or framing error stops every read until the error is
    // cleared; a port that cannot even be cleared is gone.
    DWORD errors = 0;
    COMSTAT status{};
    return error == ERROR_OPERATION_ABORTED && !ClearCommError(handle_, &errors, &status);
}

ReadOutcome Win32SerialDevice::readByte(uint8_t& value)
{
    const int64_t deadline = monotonicNanoseconds() + readWaitNs;
    // Whatever the outcome, an empty read costs its millisecond, so a caller's wait loop keeps
    // its pace on a gone device instead of spinning.
    auto nothing = [&](ReadOutcome outcome) {
        waitUntil(deadline);
        return outcome;
    };
    if (handle_ == INVALID_HANDLE_VALUE)
        return nothing(ReadOutcome::gone);
    DWORD got = 0;
    if (ReadFile(handle_, &value, 1, &got, nullptr))
        return got == 1 ? ReadOutcome::byte : nothing(ReadOutcome::none);
    if (readFailureMeansGone(GetLastError())) {
        failure_ = DeviceFailure::gone;
        return nothing(ReadOutcome::gone);
    }
    return nothing(ReadOutcome::none);
}

} // namespace

std::unique_ptr<SerialDevice> makeSystemSerialDevice()
{
    return std::make_unique<Win32SerialDevice>();
}

} // namespace tempik
