// The serial device on the Win32 communications API: an exclusive synchronous handle on
// \\.\COMn, the port's time-outs and line saved at open and put back at close, reads that return
// after at most 1 ms, writes that give up after 2 s, the line set from its definition with every
// kind of flow control off, and both queues purged at open.
#include "link/clock.h"
#include "link/line_definition.h"
#include "link/serial_device.h"

#include <windows.h>

namespace tempik {

namespace {

constexpr int64_t readWaitNs = 1'000'000;

// Reads return what is there, or nothing after 1 ms. A write that cannot leave within 2 s (a
// far end holding the output back) ends, as on Linux, rather than block the program for ever.
COMMTIMEOUTS channelTimeouts()
{
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = 0;
    timeouts.ReadTotalTimeoutMultiplier = 0;
    timeouts.ReadTotalTimeoutConstant = 1;
    timeouts.WriteTotalTimeoutMultiplier = 0;
    timeouts.WriteTotalTimeoutConstant = 2000;
    return timeouts;
}

BYTE parityOf(char parity)
{
    switch (parity) {
    case 'e': return EVENPARITY;
    case 'o': return ODDPARITY;
    case 'm': return MARKPARITY;
    case 's': return SPACEPARITY;
    default: return NOPARITY;
    }
}

// The definition goes through the tool's own parser, not BuildCommDCB: a stored definition is
// hand-editable, and the system's parser takes ",p" or "octs=on" and turns on flow control that
// a reader never answers. One that does not parse leaves speed and framing as they were.
void applyLine(DCB& line, const std::string& definition)
{
    if (const std::optional<LineDefinition> parsed = parseLineDefinition(definition)) {
        line.BaudRate = parsed->speed;
        line.ByteSize = static_cast<BYTE>(parsed->dataBits);
        line.Parity = parityOf(parsed->parity);
        line.fParity = parsed->parity != 'n';
        // Two stop bits beside five data bits are one and a half on the wire.
        line.StopBits = parsed->stopBits == 1 ? ONESTOPBIT : parsed->dataBits == 5 ? ONE5STOPBITS : TWOSTOPBITS;
    }
    line.fBinary = TRUE;
    line.fOutxCtsFlow = FALSE;
    line.fOutxDsrFlow = FALSE;
    line.fDsrSensitivity = FALSE;
    line.fDtrControl = DTR_CONTROL_ENABLE;
    line.fRtsControl = RTS_CONTROL_ENABLE;
    line.fOutX = FALSE;
    line.fInX = FALSE;
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
    void keepLineAtClose() override { keepLine_ = true; }
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
    DCB savedLine_{};
    bool keepLine_ = false;
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
    // Without its time-outs a read waits for a byte for ever: such a port cannot be used.
    COMMTIMEOUTS timeouts = channelTimeouts();
    if (!GetCommTimeouts(handle, &savedTimeouts_) || !SetCommTimeouts(handle, &timeouts)) {
        CloseHandle(handle);
        failure_ = DeviceFailure::other;
        return false;
    }
    handle_ = handle;
    haveSavedTimeouts_ = true;
    failure_ = DeviceFailure::none;
    savedLine_ = line;
    keepLine_ = false;
    // A line the port refuses is ignored: a reader that cannot be reached is found out by the
    // reply wait.
    applyLine(line, lineDefinition);
    SetCommState(handle_, &line);
    // A late answer to an earlier session must not be taken for a reply to this one.
    PurgeComm(handle_, PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR);
    return true;
}

void Win32SerialDevice::close()
{
    if (handle_ == INVALID_HANDLE_VALUE)
        return;
    // The reader's port keeps its line; any other is left as it was found.
    if (!keepLine_)
        SetCommState(handle_, &savedLine_);
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
    const bool done = WriteFile(handle_, data, static_cast<DWORD>(count), &written, nullptr) != 0;
    // Output held back past the write time-out: gone until the next open, as on Linux.
    if ((!done && isGoneError(GetLastError())) || (done && written < count))
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
