#pragma once
// What a port's device is and whether it can be opened now, told without opening it (opening a
// serial port raises its modem lines, which resets some devices). One file per platform.
#include <string>

namespace tempik::ctl {

struct PortProbe {
    std::string kind;     // "USB 0403:6001 FTDI FT232R USB UART serial A1B2", "pseudo-terminal", ...
    std::string state;    // "free", "in use", "permission denied", "missing", "not a serial device", "network"
    std::string detail;   // who holds it, the device's mode and group ...
    std::string remedy;   // what the user can do, or empty
    std::string target;   // the device a link leads to (/dev/ttyUSB0 for ports/COM3), or empty
};

// sysRoot: the root the kernel's device information is read under ("/sys" on Linux; tests give
// a folder of their own); lockFolder: where other programs' UUCP lock files are (empty: the
// system's).
PortProbe probePort(const std::string& devicePath, const std::string& sysRoot, const std::string& lockFolder = {});

// A port named by a network URL: what the operations will connect to, told without connecting.
PortProbe networkProbe(const std::string& url);

} // namespace tempik::ctl
