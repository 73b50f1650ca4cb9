// Ports on Windows: port n is the device \\.\COMn (the prefix lets COM10 and above open). The
// ports are COM1 to COM32 only; the machine's list comes from HARDWARE\DEVICEMAP\SERIALCOMM.
#include "link/port_map_win32.h"

#include "link/network_url.h"
#include "link/system_path.h"
#include "link/wide_text.h"

#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>

namespace tempik {

namespace {

constexpr int highestPort = 32;
// A URL file is one short line; more than this is not read.
constexpr size_t longestUrlFile = 4096;

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

std::string utf8OfUtf16(const std::string& bytes, bool bigEndian)
{
    std::wstring wide;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto first = static_cast<unsigned char>(bytes[i]);
        const auto second = static_cast<unsigned char>(bytes[i + 1]);
        wide += static_cast<wchar_t>(bigEndian ? first << 8 | second : second << 8 | first);
    }
    return utf8FromWide(wide);
}

std::string trimmed(const std::string& text)
{
    const size_t first = text.find_first_not_of(" \t");
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

} // namespace

std::string urlOfFileBytes(const std::string& bytes)
{
    std::string text;
    if (bytes.rfind("\xFF\xFE", 0) == 0 || bytes.rfind("\xFE\xFF", 0) == 0)
        text = utf8OfUtf16(bytes.substr(2), bytes[0] == '\xFE');
    else if (bytes.rfind("\xEF\xBB\xBF", 0) == 0)
        text = bytes.substr(3);
    else
        text = bytes;
    std::string url = trimmed(text.substr(0, text.find_first_of("\r\n")));
    const size_t schemeEnd = url.find("://");
    if (schemeEnd != std::string::npos)
        std::transform(url.begin(), url.begin() + static_cast<std::ptrdiff_t>(schemeEnd), url.begin(),
                       [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return isNetworkUrl(url) && parseNetworkUrl(url) ? url : std::string();
}

std::string configurationFolder()
{
    // The known folder rather than %APPDATA%, which services and scheduled tasks may lack (the
    // tool then wrote into whatever folder it was started in).
    PWSTR roaming = nullptr;
    std::string folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        folder = utf8FromWide(roaming);
    CoTaskMemFree(roaming);
    return (folder.empty() ? std::string(".") : folder) + "\\KESTO";
}

std::string WindowsPortMap::urlFilePath(int portNumber) const
{
    return configFolder_ + "\\ports\\" + portName(portNumber) + "-url.txt";
}

std::optional<std::string> WindowsPortMap::devicePath(int portNumber) const
{
    if (portNumber < 1 || portNumber > highestPort)
        return std::nullopt;
    if (configFolder_.empty())
        return devicePathOf(portNumber);
    const std::string path = urlFilePath(portNumber);
    std::error_code error;
    if (!std::filesystem::exists(systemPath(path), error))
        return devicePathOf(portNumber);
    std::unique_ptr<std::FILE, FileCloser> file(openFile(path, "rb"));
    std::string bytes(longestUrlFile, '\0');
    bytes.resize(file ? std::fread(bytes.data(), 1, bytes.size(), file.get()) : 0);
    const std::string url = urlOfFileBytes(bytes);
    if (url.empty())
        return std::nullopt;
    return url;
}

std::string WindowsPortMap::problem(int portNumber) const
{
    if (configFolder_.empty() || portNumber < 1 || portNumber > highestPort)
        return {};
    std::error_code error;
    if (!std::filesystem::exists(systemPath(urlFilePath(portNumber)), error) || devicePath(portNumber))
        return {};
    return portName(portNumber) + "-url.txt: no rfc2217:// or socket:// URL on its first line";
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
            if (const std::optional<std::string> path = devicePath(n))
                ports.emplace_back(n, *path);
    }
    RegCloseKey(key);
    std::sort(ports.begin(), ports.end());
    ports.erase(std::unique(ports.begin(), ports.end()), ports.end());
    return ports;
}

std::unique_ptr<PortMap> makeSystemPortMap(const std::string& configFolder)
{
    return std::make_unique<WindowsPortMap>(configFolder);
}

} // namespace tempik
