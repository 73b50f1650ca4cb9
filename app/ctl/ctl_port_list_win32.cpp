// tempikctl ports on Windows: what Device Manager shows of COM1 to COM32 (SetupAPI's Ports class),
// the ports only the DOS device names know (Wine's mapped ports), and the network ports of the
// configuration folder; no port is opened, since opening one raises its modem lines.
#include "app/ctl/ctl_port_list.h"

#include "app/ctl/ctl_report.h"
#include "app/ctl/ctl_request.h"
#include "link/wide_text.h"

#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <algorithm>
#include <iostream>
#include <map>

namespace tempik::ctl {

namespace {

constexpr int highestPort = 32;

struct ListedPort {
    std::string device;       // \\.\COMn or the URL
    std::string kind;         // friendly name, "serial port", "network port"
    std::string maker;
    std::string hardwareId;
    std::string target;       // what the DOS device name points at
    std::string problem;
};

class DeviceList {
public:
    DeviceList() : set_(SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT)) {}
    ~DeviceList()
    {
        if (set_ != INVALID_HANDLE_VALUE)
            SetupDiDestroyDeviceInfoList(set_);
    }
    DeviceList(const DeviceList&) = delete;
    DeviceList& operator=(const DeviceList&) = delete;
    HDEVINFO get() const { return set_; }

private:
    HDEVINFO set_;
};

std::string property(HDEVINFO set, SP_DEVINFO_DATA& device, DWORD which)
{
    wchar_t value[512] = {};
    if (!SetupDiGetDeviceRegistryPropertyW(set, &device, which, nullptr, reinterpret_cast<BYTE*>(value),
                                           sizeof value - sizeof(wchar_t), nullptr))
        return {};
    return utf8FromWide(value);   // a multi-string (the hardware ids) gives its first one
}

// "PortName" of the device's own key: "COM3".
int portNumberOf(HDEVINFO set, SP_DEVINFO_DATA& device)
{
    const HKEY key = SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
    if (key == INVALID_HANDLE_VALUE)
        return 0;
    wchar_t name[32] = {};
    DWORD size = sizeof name - sizeof(wchar_t);
    DWORD type = 0;
    const bool read = RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &size) ==
                          ERROR_SUCCESS && type == REG_SZ;
    RegCloseKey(key);
    if (!read || _wcsnicmp(name, L"COM", 3) != 0)
        return 0;
    const int number = _wtoi(name + 3);
    return number >= 1 && number <= highestPort ? number : 0;
}

void addDeviceManagerPorts(std::map<int, ListedPort>& ports)
{
    const DeviceList list;
    if (list.get() == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD index = 0; SetupDiEnumDeviceInfo(list.get(), index, &device); ++index) {
        const int number = portNumberOf(list.get(), device);
        if (number == 0)
            continue;
        ListedPort& port = ports[number];
        port.device = "\\\\.\\" + portName(number);
        port.kind = property(list.get(), device, SPDRP_FRIENDLYNAME);
        if (port.kind.empty())
            port.kind = property(list.get(), device, SPDRP_DEVICEDESC);
        port.maker = property(list.get(), device, SPDRP_MFG);
        port.hardwareId = property(list.get(), device, SPDRP_HARDWAREID);
    }
}

// Wine makes a device of every COM name in its own port table, also of one its user mapped to
// nothing (an empty value), which no program can use.
bool wineMapsToNothing(const std::wstring& name)
{
    wchar_t target[1024] = {};
    DWORD size = sizeof target - sizeof(wchar_t);
    return RegGetValueW(HKEY_LOCAL_MACHINE, L"Software\\Wine\\Ports", name.c_str(), RRF_RT_REG_SZ, nullptr, target,
                        &size) == ERROR_SUCCESS &&
           target[0] == L'\0';
}

// A COM name the system resolves although no device of the Ports class has it.
void addDosDevicePorts(std::map<int, ListedPort>& ports)
{
    for (int number = 1; number <= highestPort; ++number) {
        wchar_t target[1024] = {};
        const std::wstring name = wideFromUtf8(portName(number));
        if (ports.count(number) || QueryDosDeviceW(name.c_str(), target, 1023) == 0 || target[0] == L'\0' ||
            wineMapsToNothing(name))
            continue;
        ports[number] = ListedPort{"\\\\.\\" + portName(number), "serial port", "", "", utf8FromWide(target), ""};
    }
}

void addNetworkPorts(const PortMap& map, std::map<int, ListedPort>& ports)
{
    for (int number = 1; number <= highestPort; ++number) {
        const std::optional<std::string> device = map.devicePath(number);
        std::string problem = map.problem(number);
        if (!problem.empty())
            ports[number] = ListedPort{"", "", "", "", "", std::move(problem)};
        else if (device && device->rfind("\\\\.\\", 0) != 0)
            ports[number] = ListedPort{*device, "network port", "", "", "", ""};
    }
}

} // namespace

int listPorts(const PlatformServices& platform, bool json, const std::string&)
{
    std::map<int, ListedPort> ports;
    addDeviceManagerPorts(ports);
    addDosDevicePorts(ports);
    addNetworkPorts(*platform.ports, ports);
    Report array = Report::array();
    for (const auto& [number, port] : ports) {
        if (json) {
            array.push_back(Report{{"port", number},
                                   {"name", portName(number)},
                                   {"device", jsonText(port.device)},
                                   {"kind", jsonText(port.kind)},
                                   {"maker", jsonText(port.maker)},
                                   {"hardwareId", jsonText(port.hardwareId)},
                                   {"target", jsonText(port.target)},
                                   {"problem", jsonText(port.problem)}});
            continue;
        }
        std::cout << portName(number);
        for (const std::string* field : {&port.problem, &port.kind, &port.maker, &port.hardwareId, &port.target})
            if (!field->empty())
                std::cout << "  " << terminalText(*field);
        if (port.kind == "network port")
            std::cout << "  " << terminalText(port.device);
        std::cout << "\n";
    }
    if (json)
        std::cout << dumpJson(array) << "\n";
    return exitOk;
}

void tellRefusedPorts(const std::vector<std::pair<int, std::string>>& refused, std::ostream& out, const std::string&)
{
    std::vector<int> told;
    for (const auto& [port, device] : refused) {
        if (std::find(told.begin(), told.end(), port) != told.end())
            continue;   // the remembered port is tried again in the sweep
        told.push_back(port);
        out << "tempikctl: " << portName(port) << " (" << device << "): access denied\n";
    }
}

} // namespace tempik::ctl
