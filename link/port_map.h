#pragma once
// Port numbers ("COM3" is port 3) to device paths. When the configuration folder holds a
// ports/ folder, its entries COM<n> alone define the ports; otherwise the machine's serial
// devices are numbered from 1: real on-board UARTs ttyS*, then ttyUSB*, then ttyACM*.
#include <optional>
#include <string>
#include <vector>

namespace tempik {

// "COM" followed by the number, no leading zeros: port 12 gives "COM12".
std::string portName(int portNumber);

// $XDG_CONFIG_HOME/KESTO, or ~/.config/KESTO when that variable is not set.
std::string configurationFolder();

class PortMap {
public:
    virtual ~PortMap() = default;
    virtual std::optional<std::string> devicePath(int portNumber) const = 0;
};

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
