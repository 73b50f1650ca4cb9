#include "app/ctl/ctl_port_list.h"

#include "app/ctl/ctl_port_probe.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"

#include <iostream>

namespace tempik::ctl {

int listPorts(const PlatformServices& platform, bool json, const std::string& sysRoot)
{
    std::string array;
    for (int port = 1; port <= lastListedPort; ++port) {
        const std::optional<std::string> device = platform.ports->devicePath(port);
        if (!device)
            continue;
        const PortProbe probe = probePort(*device, sysRoot);
        if (json) {
            array += (array.empty() ? "" : ",") + jsonObject({{"port", std::to_string(port)},
                                                              {"name", jsonString(portName(port))},
                                                              {"device", jsonString(*device)},
                                                              {"kind", jsonString(probe.kind)},
                                                              {"state", jsonString(probe.state)},
                                                              {"detail", jsonString(probe.detail)},
                                                              {"remedy", jsonString(probe.remedy)}});
            continue;
        }
        std::cout << portName(port) << "  " << *device << "  " << probe.kind << "  " << probe.state;
        if (!probe.detail.empty())
            std::cout << " (" << probe.detail << ")";
        if (!probe.remedy.empty())
            std::cout << ": " << probe.remedy;
        std::cout << "\n";
    }
    if (json)
        std::cout << "[" << array << "]\n";
    return exitOk;
}

void tellRefusedPorts(const PortMap& ports, std::ostream& out, const std::string& sysRoot)
{
    for (int port = firstSweepPort; port <= lastSweepPort; ++port) {
        const std::optional<std::string> device = ports.devicePath(port);
        if (!device)
            continue;
        const PortProbe probe = probePort(*device, sysRoot);
        if (probe.state == "permission denied")
            out << "tempikctl: " << portName(port) << " (" << *device << "): permission denied (" << probe.detail
                << "): " << probe.remedy << "\n";
    }
}

} // namespace tempik::ctl
