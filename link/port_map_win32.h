#pragma once
// Ports on Windows: port n (1 to 32) is \\.\COMn; the machine's ports are listed from the
// registry's serial device map.
#include "link/port_map.h"

#include <string>
#include <utility>
#include <vector>

namespace tempik {

class WindowsPortMap final : public PortMap {
public:
    std::optional<std::string> devicePath(int portNumber) const override;
    // Every (number, path) the machine has now among COM1 to COM32, for listings.
    std::vector<std::pair<int, std::string>> knownPorts() const;
};

} // namespace tempik
