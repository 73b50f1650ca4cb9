#pragma once
// Ports on Windows: port n (1 to 32) is \\.\COMn, or the network port that the file
// ports\COM<n>-url.txt of the configuration folder names by its URL (a file called COM<n>, with
// any extension, would be the device itself on Windows); the machine's ports are listed from the
// registry's serial device map.
#include "link/port_map.h"

#include <string>
#include <utility>
#include <vector>

namespace tempik {

class WindowsPortMap final : public PortMap {
public:
    explicit WindowsPortMap(std::string configFolder = {}) : configFolder_(std::move(configFolder)) {}
    std::optional<std::string> devicePath(int portNumber) const override;
    // Every (number, path) the machine has now among COM1 to COM32, for listings.
    std::vector<std::pair<int, std::string>> knownPorts() const;

private:
    std::string configFolder_;
};

} // namespace tempik
