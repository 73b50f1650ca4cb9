// Ports on Windows: port n is the device \\.\COMn (the prefix lets COM10 and above open). The
// ports are COM1 to COM32 only; the machine's list comes from HARDWARE\DEVICEMAP\SERIALCOMM.
#include "link/port_map_win32.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tempik {

namespace {

constexpr int highestPort = 32;

std::string devicePathOf(int portNumber)
{
    return "\\\\.\\" + portName(portNumber);
}

// The number of "COM<n>", or 0.
int comNumber(const std::string& name)
{
    if (name.size() < 4 || name.size() > 5 || name.compare(0, 3, "COM") != 0 || name[3] == '0'
        || name.find_first_not_of("0123456789", 3) != std::string::npos)
        return 0;
    return std::atoi(name.c_str() + 3);
}

} // namespace

std::string configurationFolder()
{
    // Nothing is kept in files on Windows (the settings live in the registry); the folder is
    // the platform's place for them all the same.
    const char* appData = std::getenv("APPDATA");
    return std::string(appData && *appData ? appData : ".") + "\\KESTO";
}

std::optional<std::string> WindowsPortMap::devicePath(int portNumber) const
{
    if (portNumber < 1 || portNumber > highestPort)
        return std::nullopt;
    return devicePathOf(portNumber);
}

std::vector<std::pair<int, std::string>> WindowsPortMap::knownPorts() const
{
    std::vector<std::pair<int, std::string>> ports;
    HKEY key{};
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return ports;
    for (DWORD index = 0;; ++index) {
        char name[256];
        DWORD nameLength = sizeof name;
        char data[64] = {};
        DWORD dataLength = sizeof data - 1;
        DWORD type = 0;
        const LONG result = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                          reinterpret_cast<BYTE*>(data), &dataLength);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS || type != REG_SZ)
            continue;
        const int n = comNumber(std::string(data, strnlen(data, dataLength)));
        if (n >= 1 && n <= highestPort)
            ports.emplace_back(n, devicePathOf(n));
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::unique_ptr<PortMap> makeSystemPortMap(const std::string&)
{
    return std::make_unique<WindowsPortMap>();
}

} // namespace tempik
