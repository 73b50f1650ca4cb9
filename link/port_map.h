#pragma once
// Port numbers ("COM3" is port 3) to device paths, and the configuration folder the settings
// and a pinned port map live in. Each platform numbers its own devices (port_map_linux.cpp).
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tempik {

// "COM" followed by the number, no leading zeros: port 12 gives "COM12".
std::string portName(int portNumber);

// The platform's configuration folder of the tool: on Linux $XDG_CONFIG_HOME/KESTO, or
// ~/.config/KESTO when that variable is not set.
std::string configurationFolder();

class PortMap {
public:
    virtual ~PortMap() = default;
    virtual std::optional<std::string> devicePath(int portNumber) const = 0;
    // Why an entry of the map names no port (a file that holds no URL), for the user; "" if none.
    virtual std::string problem(int) const { return {}; }
};

// The platform's port map for the configuration folder.
std::unique_ptr<PortMap> makeSystemPortMap(const std::string& configFolder);

} // namespace tempik
