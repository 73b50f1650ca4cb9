// Ports on Windows: COM1 to COM32 by their device-namespace names, nothing above; under Wine the
// machine's own serial devices are moved to COM33 and above, and must stay out of reach.
#include "link/port_map_win32.h"

#include "link/system_path.h"

#include <cstdio>
#include <filesystem>

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

// The files as Notepad saves them, in a folder whose name is not ASCII (C:\Users\张伟); a file
// with no URL in it names no port rather than the device \\.\COMn.
TEST(WindowsPortMap, UrlFilesAsNotepadSavesThem)
{
    const std::string config = utf8Name(std::filesystem::temp_directory_path()) + "\\\xe5\xbc\xa0\xe4\xbc\x9f-port-map-test";
    std::filesystem::create_directories(systemPath(config + "\\ports"));
    struct Row {
        int port;
        std::string bytes;
        std::string device;   // "" none
    };
    const Row rows[] = {
        {4, "rfc2217://10.0.0.5:4001\r\n", "rfc2217://10.0.0.5:4001"},
        {5, "\xef\xbb\xbf socket://h:7 \r\nsecond line", "socket://h:7"},
        {6, std::string("\xff\xfeS\0O\0" "C\0K\0E\0T\0:\0/\0/\0h\0:\0" "9\0\r\0\n\0", 30), "socket://h:9"},
        {7, std::string("\xfe\xff\0s\0o\0" "c\0k\0e\0t\0:\0/\0/\0h\0:\0" "8", 26), "socket://h:8"},
        {8, "not a url\n", ""},
        {9, "rfc2217://h:99999", ""},
        {10, "", ""},
    };
    for (const Row& row : rows) {
        std::FILE* file = openFile(config + "\\ports\\COM" + std::to_string(row.port) + "-url.txt", "wb");
        ASSERT_NE(file, nullptr);
        std::fwrite(row.bytes.data(), 1, row.bytes.size(), file);
        std::fclose(file);
    }
    const WindowsPortMap ports(config);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.port);
        EXPECT_EQ(ports.devicePath(row.port).value_or(""), row.device);
        EXPECT_EQ(ports.problem(row.port), row.device.empty() ? "COM" + std::to_string(row.port) +
                                                                    "-url.txt: no rfc2217:// or socket:// URL on its first line"
                                                              : "");
    }
    EXPECT_EQ(ports.devicePath(11).value_or(""), "\\\\.\\COM11");
    EXPECT_EQ(ports.problem(11), "");
    std::filesystem::remove_all(systemPath(config));
}

} // namespace
} // namespace tempik
