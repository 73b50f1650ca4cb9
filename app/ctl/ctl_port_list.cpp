#include "app/ctl/ctl_port_list.h"

#include "app/ctl/ctl_port_probe.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"

#include <algorithm>
#include <iostream>

namespace tempik::ctl {

int listPorts(const PlatformServices& platform, bool json, const std::string& sysRoot)
{
    Report array = Report::array();
    for (int port = 1; port <= lastListedPort; ++port) {
        const std::optional<std::string> device = platform.ports->devicePath(port);
        if (!device)
            continue;
        const PortProbe probe = probePort(*device, sysRoot);
        if (json) {
            array.push_back({{"port", port},
                             {"name", portName(port)},
                             {"device", jsonText(*device)},
                             {"kind", jsonText(probe.kind)},
                             {"state", jsonText(probe.state)},
                             {"detail", jsonText(probe.detail)},
                             {"remedy", jsonText(probe.remedy)}});
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
        std::cout << dumpJson(array) << "\n";
    return exitOk;
}

void tellRefusedPorts(const std::vector<std::pair<int, std::string>>& refused, std::ostream& out,
                      const std::string& sysRoot)
{
    std::vector<int> told;
    for (const auto& [port, device] : refused) {
        if (std::find(told.begin(), told.end(), port) != told.end())
            continue;   // the remembered port is tried again in the sweep
        told.push_back(port);
        const PortProbe probe = probePort(device, sysRoot);
        out << "tempikctl: " << portName(port) << " (" << device << "): permission denied"
            << (probe.detail.empty() ? "" : " (" + probe.detail + ")")
            << ": " << (probe.remedy.empty() ? "sudo usermod -aG dialout $USER, then log in again" : probe.remedy)
            << "\n";
    }
}

} // namespace tempik::ctl
