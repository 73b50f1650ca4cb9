// Port numbers to devices: pinned links in ports/, else the machine's serial devices in order.
#include "link/port_map_linux.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "tests/support/files.h"
#include "tests/support/pty.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace tempik {
namespace {

namespace fs = std::filesystem;

using testing::TempFolder;
using testing::writeFile;

void touch(const fs::path& file, const std::string& content = "")
{
    fs::create_directories(file.parent_path());
    std::ofstream(file) << content;
}

TEST(PortMap, PortNameHasNoLeadingZerosOrPrefix)
{
    EXPECT_EQ(portName(1), "COM1");
    EXPECT_EQ(portName(3), "COM3");
    EXPECT_EQ(portName(12), "COM12");
    EXPECT_EQ(portName(32), "COM32");
}

TEST(PortMap, PinnedPortOpensThroughItsLink)
{
    testing::PseudoTerminal pty;
    TempFolder config;
    fs::create_directories(config / "ports");
    fs::create_symlink(pty.slavePath(), config / "ports" / "COM3");

    LinuxPortMap ports(config.path());
    PosixSerialDevice device;
    SystemClock clock;
    ReaderLink link(device, clock, ports);
    ASSERT_TRUE(link.openChannel(3, "19200,e,8,1"));
    EXPECT_EQ(link.lastDevicePath(), (config / "ports" / "COM3").string());
    link.writeByte(0x42);
    EXPECT_EQ(pty.readExactly(1, 500), std::vector<uint8_t>{0x42}) << "port 3 is that pseudo-terminal";
    link.closeChannel();

    EXPECT_FALSE(link.openChannel(4, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::noSuchPort);
    EXPECT_FALSE(link.openChannel(0, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::noSuchPort);
}

TEST(PortMap, PinnedFolderAloneDefinesThePorts)
{
    TempFolder config, dev;
    touch(dev / "ttyUSB0");  // ignored while ports/ exists
    fs::create_directories(config / "ports");
    fs::create_symlink("/dev/tempik-unplugged", config / "ports" / "COM12");
    touch(config / "ports" / "COM2");
    touch(config / "ports" / "COM03");
    touch(config / "ports" / "COMx");
    touch(config / "ports" / "README");

    LinuxPortMap ports(config.path(), dev.path());
    const auto known = ports.knownPorts();
    ASSERT_EQ(known.size(), 2u);
    EXPECT_EQ(known[0], std::make_pair(2, (config / "ports" / "COM2").string()));
    EXPECT_EQ(known[1], std::make_pair(12, (config / "ports" / "COM12").string()));
    EXPECT_FALSE(ports.devicePath(1)) << "the machine's devices are not used when ports/ exists";
    EXPECT_FALSE(ports.devicePath(3)) << "COM03 is not port 3";

    // A link to an unplugged device is still port 12; opening it says there is no such port.
    ASSERT_TRUE(ports.devicePath(12));
    PosixSerialDevice device;
    SystemClock clock;
    ReaderLink link(device, clock, ports);
    EXPECT_FALSE(link.openChannel(12, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::noSuchPort);
}

// A ports/ folder that cannot be looked at may still be there: no port exists then, and the
// machine's own devices are never swept in its place.
TEST(PortMap, PinnedFolderThatCannotBeLookedAtIsNoFallBackToTheMachine)
{
    TempFolder root, dev;
    touch(dev / "ttyUSB0");
    const std::string hidden = root.path() + "/hidden";
    fs::create_directories(hidden + "/KESTO/ports");
    ASSERT_EQ(::chmod(hidden.c_str(), 0600), 0);   // readable, not searchable
    ASSERT_EQ(::chmod(root.path().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(dev.path().c_str(), 0755), 0);
    std::string tooLong = root.path();
    while (tooLong.size() < 4200)
        tooLong += "/" + std::string(200, 'd');
    for (const std::string& config : {hidden + "/KESTO", tooLong + "/KESTO"}) {
        SCOPED_TRACE(config.substr(0, 60));
        const LinuxPortMap ports(config, dev.path());
        const std::optional<bool> none =
            testing::unprivileged([&] { return ports.knownPorts().empty() && !ports.devicePath(1); });
        ASSERT_TRUE(none.has_value()) << "could not drop privileges";
        EXPECT_TRUE(*none) << "swept " << dev.path();
    }
}

TEST(PortMap, AFileWhoseFirstLineIsAUrlNamesANetworkPortALinkStaysADevice)
{
    TempFolder config;
    const fs::path ports = config / "ports";
    fs::create_directories(ports);
    writeFile((ports / "COM2").string(), "  rfc2217://10.0.0.5:4001 \nsecond line\n");
    writeFile((ports / "COM3").string(), "not a url\n");
    writeFile((config / "url").string(), "socket://10.0.0.5:4002\n");
    fs::create_symlink(config / "url", ports / "COM5");

    LinuxPortMap map(config.path());
    EXPECT_EQ(map.devicePath(2), "rfc2217://10.0.0.5:4001");
    EXPECT_EQ(map.devicePath(3), (ports / "COM3").string());
    EXPECT_EQ(map.devicePath(5), (ports / "COM5").string());
    EXPECT_EQ(map.knownPorts().front().second, "rfc2217://10.0.0.5:4001");
}

TEST(PortMap, MachineDevicesAreNumberedUartsThenUsbThenAcm)
{
    TempFolder config, dev, sys;
    for (const char* name : {"ttyS0", "ttyS1", "ttyS2", "ttyS10", "ttyS3", "ttyUSB10", "ttyUSB1", "ttyUSB0",
                             "ttyACM0", "ttyACM2", "tty", "tty1", "ttyS", "ttyUSBx", "console", "ttyAMA0"})
        touch(dev / name);
    touch(sys / "ttyS0" / "type", "4\n");
    touch(sys / "ttyS1" / "type", "0\n");   // a placeholder without a UART
    touch(sys / "ttyS10" / "type", "4\n");
    touch(sys / "ttyS3" / "type", "");      // unreadable: not taken for a UART
    // ttyS2 has no sysfs entry at all

    LinuxPortMap ports(config.path(), dev.path(), sys.path());
    const std::vector<std::string> expected = {"ttyS0", "ttyS10", "ttyUSB0", "ttyUSB1", "ttyUSB10", "ttyACM0", "ttyACM2"};
    const auto known = ports.knownPorts();
    ASSERT_EQ(known.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(known[i].first, int(i + 1));
        EXPECT_EQ(known[i].second, (dev / expected[i]).string());
        EXPECT_EQ(ports.devicePath(int(i + 1)), (dev / expected[i]).string());
    }
    EXPECT_FALSE(ports.devicePath(int(expected.size() + 1)));
    EXPECT_FALSE(ports.devicePath(0));
    EXPECT_FALSE(ports.devicePath(-1));
}

class EnvironmentVariable {
public:
    explicit EnvironmentVariable(const char* name) : name_(name)
    {
        if (const char* value = std::getenv(name))
            saved_ = value;
    }
    ~EnvironmentVariable()
    {
        if (saved_)
            setenv(name_, saved_->c_str(), 1);
        else
            unsetenv(name_);
    }

private:
    const char* name_;
    std::optional<std::string> saved_;
};

TEST(PortMap, ConfigurationFolderFollowsTheXdgConvention)
{
    EnvironmentVariable xdg("XDG_CONFIG_HOME"), home("HOME");
    setenv("HOME", "/home/installer", 1);
    setenv("XDG_CONFIG_HOME", "/srv/config", 1);
    EXPECT_EQ(configurationFolder(), "/srv/config/KESTO");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(configurationFolder(), "/home/installer/.config/KESTO");
    setenv("XDG_CONFIG_HOME", "", 1);
    EXPECT_EQ(configurationFolder(), "/home/installer/.config/KESTO");
    setenv("XDG_CONFIG_HOME", "relative/path", 1);
    EXPECT_EQ(configurationFolder(), "/home/installer/.config/KESTO");
}

} // namespace
} // namespace tempik
