// Ports on Windows: COM1 to COM32 by their device-namespace names, nothing above; under Wine the
// machine's own serial devices are moved to COM33 and above, and must stay out of reach.
#include "link/port_map_win32.h"

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

namespace tempik {
namespace {

TEST(WindowsPortMap, ComOneToThirtyTwoOnly)
{
    const WindowsPortMap ports;
    EXPECT_EQ(ports.devicePath(1).value_or(""), "\\\\.\\COM1");
    EXPECT_EQ(ports.devicePath(12).value_or(""), "\\\\.\\COM12");
    EXPECT_EQ(ports.devicePath(32).value_or(""), "\\\\.\\COM32");
    for (int beyond : {0, -1, 33, 255})
        EXPECT_FALSE(ports.devicePath(beyond).has_value()) << beyond;
    for (const auto& [number, path] : ports.knownPorts()) {
        EXPECT_TRUE(number >= 1 && number <= 32) << number;
        EXPECT_EQ(path, ports.devicePath(number).value_or("")) << number;
    }
}

TEST(WindowsPortMap, AFileWhoseFirstLineIsAUrlNamesANetworkPort)
{
    namespace fs = std::filesystem;
    const fs::path config = fs::temp_directory_path() / "tempik-port-map-test";
    fs::create_directories(config / "ports");
    std::ofstream(config / "ports" / "COM5-url.txt") << "rfc2217://10.0.0.5:4001\r\n";
    std::ofstream(config / "ports" / "COM6-url.txt") << "not a url\n";
    const WindowsPortMap ports(config.string());
    EXPECT_EQ(ports.devicePath(5).value_or(""), "rfc2217://10.0.0.5:4001");
    EXPECT_EQ(ports.devicePath(6).value_or(""), "\\\\.\\COM6");
    fs::remove_all(config);
}

} // namespace
} // namespace tempik
