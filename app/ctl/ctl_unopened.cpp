#include "app/ctl/ctl_unopened.h"

#include "app/ctl/ctl_port_list.h"
#include "app/ctl/ctl_report.h"

#include <algorithm>
#include <ostream>

namespace tempik::ctl {

UnopenedPorts unopenedPorts(const ReaderLink& link)
{
    UnopenedPorts distinct;
    for (const ReaderLink::UnopenedPort& port : link.unopenedPorts())
        if (!includesPort(distinct, port.port))
            distinct.push_back(port);
    return distinct;
}

bool includesPort(const UnopenedPorts& ports, int port)
{
    return std::any_of(ports.begin(), ports.end(), [port](const ReaderLink::UnopenedPort& p) { return p.port == port; });
}

void tellUnopened(const UnopenedPorts& ports, std::ostream& out)
{
    for (const ReaderLink::UnopenedPort& port : ports) {
        if (port.failure == DeviceFailure::accessDenied)
            tellRefusedPorts({{port.port, port.device}}, out);
        else
            out << terminalText("tempikctl: " + portName(port.port) + " (" + port.device + "): " + describe(port.failure))
                << "\n";
    }
}

Report unopenedJson(const UnopenedPorts& ports)
{
    Report array = Report::array();
    for (const ReaderLink::UnopenedPort& port : ports)
        array.push_back(Report{{"port", port.port}, {"device", jsonText(port.device)}, {"error", jsonText(describe(port.failure))}});
    return array;
}

} // namespace tempik::ctl
