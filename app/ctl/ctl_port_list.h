#pragma once
// tempikctl ports: every port of the map with its device, what it is and whether it can be
// opened; and the remedy for ports refused for lack of permission, after a scan found nothing.
#include "app/platform.h"

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

namespace tempik::ctl {

// The highest port number --port takes, and so the listing.
constexpr int lastListedPort = 255;

int listPorts(const PlatformServices& platform, bool json, const std::string& sysRoot = "/sys");

// One line per port a scan was refused for lack of permission, with the device's mode and group
// and the remedy; each port once.
void tellRefusedPorts(const std::vector<std::pair<int, std::string>>& refused, std::ostream& out,
                      const std::string& sysRoot = "/sys");

} // namespace tempik::ctl
