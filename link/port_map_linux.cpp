#include "link/port_map_linux.h"

#include "link/network_url.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tempik {

namespace {

enum class Pinned { none, folder, unreadable };

// Whether ports/ pins the ports. One that cannot be looked at (a configuration folder that
// cannot be searched, a path too long) may well be there: then no port exists, never the
// machine's own devices in its place.
Pinned pinnedState(const std::string& pinned)
{
    struct stat info {};
    if (stat(pinned.c_str(), &info) == 0)
        return S_ISDIR(info.st_mode) ? Pinned::folder : Pinned::none;
    return errno == ENOENT || errno == ENOTDIR ? Pinned::none : Pinned::unreadable;
}

bool entryExists(const std::string& path)
{
    struct stat info {};
    return lstat(path.c_str(), &info) == 0;  // a link whose device is unplugged is still a port
}

std::vector<std::string> folderEntries(const std::string& folder)
{
    std::vector<std::string> names;
    if (DIR* dir = opendir(folder.c_str())) {
        while (const dirent* entry = readdir(dir))
            names.emplace_back(entry->d_name);
        closedir(dir);
    }
    return names;
}

// The number after prefix when name is prefix plus decimal digits without a leading zero
// ("COM12" -> 12), or -1. ttyS0 is allowed its single zero.
long numberAfter(const std::string& name, const std::string& prefix, bool zeroAllowed)
{
    if (name.size() <= prefix.size() || name.compare(0, prefix.size(), prefix) != 0)
        return -1;
    const std::string digits = name.substr(prefix.size());
    if (digits.size() > 9 || !std::all_of(digits.begin(), digits.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return -1;
    if (digits[0] == '0' && (digits.size() > 1 || !zeroAllowed))
        return -1;
    return std::strtol(digits.c_str(), nullptr, 10);
}

// Devices named prefix<n> in folder, in numeric order.
std::vector<std::pair<long, std::string>> numberedDevices(const std::vector<std::string>& names, const std::string& prefix)
{
    std::vector<std::pair<long, std::string>> found;
    for (const std::string& name : names)
        if (const long n = numberAfter(name, prefix, true); n >= 0)
            found.emplace_back(n, name);
    std::sort(found.begin(), found.end());
    return found;
}

// The kernel makes ttyS0..ttyS31 whether or not a UART is there; sysfs "type" 0 means none.
bool hasRealUart(const std::string& sysClassTty, const std::string& name)
{
    std::ifstream in(sysClassTty + "/" + name + "/type");
    long type = 0;
    return in >> type && type != 0;
}

std::string homeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir)
        return user->pw_dir;
    return ".";
}

// A regular file whose first line is a URL names a network port; anything else (a link to a
// device above all) is a local device.
std::string portEntryTarget(const std::string& path)
{
    struct stat info {};
    if (lstat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode))
        return networkUrlInFile(path).value_or(path);
    return path;
}

} // namespace

std::string configurationFolder()
{
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    // The convention ignores a relative or empty value.
    const std::string base = xdg && xdg[0] == '/' ? std::string(xdg) : homeFolder() + "/.config";
    return base + "/KESTO";
}

LinuxPortMap::LinuxPortMap(std::string configFolder, std::string devFolder, std::string sysClassTty)
    : configFolder_(std::move(configFolder)), devFolder_(std::move(devFolder)), sysClassTty_(std::move(sysClassTty))
{
}

std::optional<std::string> LinuxPortMap::devicePath(int portNumber) const
{
    if (portNumber < 1)
        return std::nullopt;
    const std::string pinned = configFolder_ + "/ports";
    const Pinned state = pinnedState(pinned);
    if (state == Pinned::unreadable)
        return std::nullopt;
    if (state == Pinned::folder) {
        const std::string path = pinned + "/" + portName(portNumber);
        if (entryExists(path))
            return portEntryTarget(path);
        return std::nullopt;
    }
    const auto ports = knownPorts();
    if (static_cast<size_t>(portNumber) > ports.size())
        return std::nullopt;
    return ports[static_cast<size_t>(portNumber) - 1].second;
}

std::vector<std::pair<int, std::string>> LinuxPortMap::knownPorts() const
{
    std::vector<std::pair<int, std::string>> ports;
    const std::string pinned = configFolder_ + "/ports";
    const Pinned state = pinnedState(pinned);
    if (state == Pinned::unreadable)
        return ports;
    if (state == Pinned::folder) {
        for (const std::string& name : folderEntries(pinned))
            if (const long n = numberAfter(name, "COM", false); n >= 1 && n <= 0x7FFFFFFF)
                ports.emplace_back(static_cast<int>(n), portEntryTarget(pinned + "/" + name));
        std::sort(ports.begin(), ports.end());
        return ports;
    }

    const std::vector<std::string> names = folderEntries(devFolder_);
    int number = 0;
    for (const auto& [n, name] : numberedDevices(names, "ttyS"))
        if (hasRealUart(sysClassTty_, name))
            ports.emplace_back(++number, devFolder_ + "/" + name);
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (const auto& [n, name] : numberedDevices(names, prefix))
            ports.emplace_back(++number, devFolder_ + "/" + name);
    return ports;
}

std::unique_ptr<PortMap> makeSystemPortMap(const std::string& configFolder)
{
    return std::make_unique<LinuxPortMap>(configFolder);
}

} // namespace tempik
