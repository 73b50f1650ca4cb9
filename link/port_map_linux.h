#pragma once
// Ports on Linux. When the configuration folder holds a ports/ folder, its entries COM<n> alone
// define the ports; otherwise the machine's serial devices are numbered from 1: real on-board
// UARTs ttyS*, then ttyUSB*, then ttyACM*.
#include "link/port_map.h"

#include <string>
#include <utility>
#include <vector>

namespace tempik {

class LinuxPortMap final : public PortMap {
public:
    explicit LinuxPortMap(std::string configFolder, std::string devFolder = "/dev",
                          std::string sysClassTty = "/sys/class/tty");
    std::optional<std::string> devicePath(int portNumber) const override;
    // Every (number, path) known now, for messages and the README's listing.
    std::vector<std::pair<int, std::string>> knownPorts() const;

private:
    std::string configFolder_;
    std::string devFolder_;
    std::string sysClassTty_;
};

} // namespace tempik
