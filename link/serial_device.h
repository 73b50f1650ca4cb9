#pragma once
// The serial device seam: what the link needs of one port. Production: termios
// (serial_posix.cpp). Tests: an in-memory fake that records every byte and line definition.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace tempik {

// Why an open failed, or that the device went away while open. The link itself only reports a
// bool; the kind is kept for tests and for the command-line front end's messages.
enum class DeviceFailure {
    none,
    noSuchPort,    // no device at that path (or no path for that port number)
    busy,          // another program holds the port
    accessDenied,  // permissions
    notSerial,     // opened, but not a terminal device
    gone,          // unplugged adapter, closed pseudo-terminal master, closed connection
    unreachable,   // a network port's server did not answer the connection
    refused,       // a network port's server refused the connection
    unknownHost,   // a network port's host name not found within the open's limit
    noRfc2217Server,  // the server never agreed to the COM-PORT-OPTION
    other,
};

const char* describe(DeviceFailure failure);

enum class ReadOutcome {
    byte,    // one byte delivered
    none,    // nothing arrived within the 1 ms read time-out
    gone,    // the device is gone; the caller treats it as no byte
};

class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // Opens path exclusively, flushes both queues and applies lineDefinition. A definition
    // that does not parse leaves the line as it was and the open still succeeds.
    virtual bool open(const std::string& path, const std::string& lineDefinition) = 0;
    // Restores what open saved and releases the port.
    virtual void close() = 0;
    // The port turned out to hold the reader (a good reply came): close keeps the line as this
    // open set it. Without this call close puts back the whole line state found at open, so
    // a port tried in a sweep (a serial console, another tool's terminal) is left as it was.
    virtual void keepLineAtClose() {}
    // Writes the bytes and returns once they have left (drained). Failures are not reported,
    // but output that cannot leave within a bound leaves the device gone until the next open.
    virtual void write(const uint8_t* data, size_t count) = 0;
    // Reads at most one byte, waiting at most about 1 ms; never returns at once on a gone
    // device, so a caller's loop cannot spin.
    virtual ReadOutcome readByte(uint8_t& value) = 0;
    // Drops whatever input has arrived and not been read: a reply that came after its wait
    // must not be taken for the next request's.
    virtual void discardInput() = 0;
    // Kind of the last failure (open or gone), none after a clean open.
    virtual DeviceFailure failure() const = 0;
    // A reply wait of its own, longer than the link's, for a port far away (a network port's
    // ?reply-ms=); nullopt: the link's.
    virtual std::optional<uint32_t> replyWaitMs() const { return std::nullopt; }
};

// The platform's serial device (termios on POSIX, the Win32 communications API on Windows).
std::unique_ptr<SerialDevice> makeSystemSerialDevice();

} // namespace tempik
