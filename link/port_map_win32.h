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
    // A port whose URL file names no URL is no port at all: never the device of the same name.
    std::optional<std::string> devicePath(int portNumber) const override;
    std::string problem(int portNumber) const override;
    // Every (number, path) the machine has now among COM1 to COM32, for listings.
    std::vector<std::pair<int, std::string>> knownPorts() const;

private:
    std::string urlFilePath(int portNumber) const;

    std::string configFolder_;
};

// The URL on the first line of a URL file's bytes as Notepad saves them (UTF-8 with or without
// a byte-order mark, or UTF-16 with one), spaces around it and the scheme's case ignored, in the
// form the link opens; "" when there is no valid one.
std::string urlOfFileBytes(const std::string& bytes);

} // namespace tempik
