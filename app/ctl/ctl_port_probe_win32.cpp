#include "app/ctl/ctl_port_probe.h"

namespace tempik::ctl {

// Windows tells who holds a COM port only to the one that opens it, and opening it here would
// take it from the reader's program: the listing names the port and leaves its state open.
PortProbe probePort(const std::string&, const std::string&, const std::string&)
{
    return PortProbe{"serial port", "unknown", "", "", ""};
}

} // namespace tempik::ctl
