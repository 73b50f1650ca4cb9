// What the port listing tells of a device, from a sysfs tree of the test's own: never a real
// serial device of the machine.
#include "app/ctl/ctl_port_probe.h"
#include "tests/support/files.h"
#include "tests/support/pty.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace tempik::ctl;
using namespace tempik::testing;

TEST(PortProbe, KindFromSysfsAndTheLockHolder)
{
    TempFolder dev, sys;
    // Device nodes of /dev/null's numbers under the names of a USB adapter and an on-board UART.
    for (const char* name : {"ttyUSB0", "ttyS0", "ttyS9"})
        if (::mknod((dev.path() + "/" + name).c_str(), S_IFCHR | 0666, makedev(1, 3)) != 0)
            GTEST_SKIP() << "making a device node needs root";
    const std::string usb = sys.path() + "/devices/pci0/usb1/1-1";
    for (const std::string& folder : {usb + "/1-1:1.0/ttyUSB0", sys.path() + "/class/tty/ttyUSB0",
                                      sys.path() + "/class/tty/ttyS0", sys.path() + "/class/tty/ttyS9"})
        std::filesystem::create_directories(folder);
    for (const auto& [file, text] : std::vector<std::pair<std::string, std::string>>{
             {"idVendor", "0403"}, {"idProduct", "6001"}, {"manufacturer", "FTDI"}, {"product", "FT232R USB UART"},
             {"serial", "A1B2C3"}})
        writeFile(usb + "/" + file, text + "\n");
    ASSERT_EQ(::symlink((usb + "/1-1:1.0/ttyUSB0").c_str(), (sys.path() + "/class/tty/ttyUSB0/device").c_str()), 0);
    writeFile(sys.path() + "/class/tty/ttyS0/type", "4\n");
    writeFile(sys.path() + "/class/tty/ttyS9/type", "0\n");

    struct Row {
        std::string device;
        std::string kind;
    } const rows[] = {
        {dev.path() + "/ttyUSB0", "USB 0403:6001 FTDI FT232R USB UART serial A1B2C3"},
        {dev.path() + "/ttyS0", "on-board UART"},
        {dev.path() + "/ttyS9", "character device"},
    };
    for (const Row& row : rows) {
        const PortProbe probe = probePort(row.device, sys.path());
        EXPECT_EQ(probe.kind + " " + probe.state, row.kind + " free") << row.device;
    }

    PseudoTerminal pty;
    PortHolder holder(pty.slavePath());
    ASSERT_TRUE(holder.held());
    const PortProbe held = probePort(pty.slavePath(), sys.path());
    EXPECT_EQ(held.kind + " " + held.state, "pseudo-terminal in use");
    EXPECT_TRUE(std::regex_match(held.detail, std::regex("by process \\d+ \\(.+\\)"))) << held.detail;

    // A UUCP lock file alone holds a port while its process lives (as minicom holds one).
    PseudoTerminal locked;
    TempFolder locks;
    const std::string lockFile = locks.path() + "/LCK.." + std::regex_replace(locked.slavePath().substr(5), std::regex("/"), "_");
    for (auto [pid, state] : {std::pair<pid_t, const char*>{::getpid(), "in use"}, {0x7FFFFFF0, "free"}}) {
        writeFile(lockFile, std::to_string(pid) + "\n");
        EXPECT_EQ(probePort(locked.slavePath(), sys.path(), locks.path()).state, state) << pid;
    }
}
