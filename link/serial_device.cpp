#include "link/serial_device.h"

namespace tempik {

const char* describe(DeviceFailure failure)
{
    switch (failure) {
    case DeviceFailure::none: return "no failure";
    case DeviceFailure::noSuchPort: return "no such port";
    case DeviceFailure::busy: return "port is in use by another program";
    case DeviceFailure::accessDenied: return "permission denied";
    case DeviceFailure::notSerial: return "not a serial device";
    case DeviceFailure::gone: return "device went away";
    case DeviceFailure::unreachable: return "no answer at that network address";
    case DeviceFailure::refused: return "connection refused";
    case DeviceFailure::unknownHost: return "unknown host name";
    case DeviceFailure::noRfc2217Server: return "no RFC 2217 server at that address";
    case DeviceFailure::other: return "cannot open port";
    }
    return "cannot open port";
}

} // namespace tempik
