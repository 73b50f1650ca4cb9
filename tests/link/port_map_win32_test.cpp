// Ports on Windows: COM1 to COM32 by their device-namespace names, nothing above; under Wine the
// machine's own serial devices are moved to COM33 and above, and must stay out of reach.
#include "link/port_map_win32.h"

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

} // namespace
} // namespace tempik
