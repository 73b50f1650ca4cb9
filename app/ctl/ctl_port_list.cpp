#include "app/ctl/ctl_port_list.h"

#include "app/ctl/ctl_port_probe.h"
#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "link/network_url.h"

#include <algorithm>
#include <iostream>

namespace tempik::ctl {

PortProbe networkProbe(const std::string& url)
{
    const std::optional<NetworkAddress> address = parseNetworkUrl(url);
    if (!address)
        return PortProbe{"-", "invalid URL", "", "", ""};
    return PortProbe{address->rfc2217 ? "RFC 2217 server" : "raw TCP server", "network", "", "", ""};
}

int listPorts(const PlatformServices& platform, bool json, const std::string& sysRoot)
{
    Report array = Report::array();
    for (int port = 1; port <= lastListedPort; ++port) {
        const std::optional<std::string> device = platform.ports->devicePath(port);
        if (!device)
            continue;
        const PortProbe probe = isNetworkUrl(*device) ? networkProbe(*device) : probePort(*device, sysRoot);
        if (json) {
            array.push_back({{"port", port},
                             {"name", portName(port)},
                             {"device", jsonText(*device)},
                             {"kind", jsonText(probe.kind)},
                             {"state", jsonText(probe.state)},
                             {"detail", jsonText(probe.detail)},
                             {"remedy", jsonText(probe.remedy)},
                             {"target", jsonText(probe.target)}});
            continue;
        }
        // Paths, and what the kernel tells of a device, may hold anything: never raw escapes.
        std::string line = portName(port) + "  " + *device + (probe.target.empty() ? "" : " -> " + probe.target) +
                           "  " + probe.kind + "  " + probe.state;
        if (!probe.detail.empty())
            line += " (" + probe.detail + ")";
        if (!probe.remedy.empty())
            line += ": " + probe.remedy;
        std::cout << terminalText(line) << "\n";
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
        out << terminalText("tempikctl: " + portName(port) + " (" + device + "): permission denied" +
                            (probe.detail.empty() ? "" : " (" + probe.detail + ")") + ": " +
                            (probe.remedy.empty() ? "sudo usermod -aG dialout $USER, then log in again" : probe.remedy))
            << "\n";
    }
}

} // namespace tempik::ctl
