// The termios serial device on real pseudo-terminals: exclusive open, raw bytes both ways,
// what open applies and close puts back, and a device that goes away in the middle of a wait.
#include "link/frame.h"
#include "link/line_definition.h"
#include "link/reader_link.h"
#include "link/serial_posix.h"
#include "link/termios_speed.h"
#include "tests/support/fake_device.h"
#include "tests/support/files.h"
#include "tests/support/pty.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <algorithm>
#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace tempik {
namespace {

using testing::PseudoTerminal;
using testing::bytesOf;
using testing::CountingDevice;
using testing::PathPortMap;
using Clock_ = std::chrono::steady_clock;

// Reads bytes through the device until count arrived or timeoutMs passed.
std::vector<uint8_t> readThrough(SerialDevice& device, size_t count, int timeoutMs)
{
    std::vector<uint8_t> bytes;
    const auto deadline = Clock_::now() + std::chrono::milliseconds(timeoutMs);
    uint8_t b = 0;
    while (bytes.size() < count && Clock_::now() < deadline)
        if (device.readByte(b) == ReadOutcome::byte)
            bytes.push_back(b);
    return bytes;
}

TEST(ErrnoMapping, KindsOfFailure)
{
    const struct {
        int error;
        DeviceFailure kind;
    } rows[] = {{ENOENT, DeviceFailure::noSuchPort},  {ENODEV, DeviceFailure::noSuchPort},
                {ENXIO, DeviceFailure::noSuchPort},   {EACCES, DeviceFailure::accessDenied},
                {EPERM, DeviceFailure::accessDenied}, {EBUSY, DeviceFailure::busy},
                {EIO, DeviceFailure::gone},           {EINVAL, DeviceFailure::other}};
    for (const auto& row : rows)
        EXPECT_EQ(failureFromErrno(row.error), row.kind) << std::strerror(row.error);
}

TEST(LineDefinitionOnTermios, FourteenDefinitionsSetSpeedParityAndSize)
{
    const speed_t speeds[] = {B4800, B9600, B19200, B38400, B57600, B115200, B230400};
    for (int i = 0; i < lineDefinitionCount; ++i) {
        struct termios line {};
        line.c_cflag = CS7 | PARODD | CSTOPB;
        ASSERT_TRUE(applyLineDefinition(line, lineDefinitions[size_t(i)])) << lineDefinitions[size_t(i)];
        EXPECT_EQ(cfgetospeed(&line), speeds[i / 2]) << i;
        EXPECT_EQ(cfgetispeed(&line), speeds[i / 2]) << i;
        EXPECT_EQ((line.c_cflag & PARENB) != 0, i % 2 == 1) << i;
        EXPECT_EQ(line.c_cflag & PARODD, 0u) << i;
        EXPECT_EQ(line.c_cflag & CSIZE, tcflag_t(CS8)) << i;
        EXPECT_EQ(line.c_cflag & CSTOPB, 0u) << i;
    }
}

TEST(LineDefinitionOnTermios, HandEditedDefinitionsOutsideTheListAreApplied)
{
    struct Row {
        const char* text;
        speed_t speed;
        tcflag_t bits;   // of PARENB | PARODD | CMSPAR | CSTOPB | CSIZE
    } const rows[] = {
        {"9600,o,7,2", B9600, PARENB | PARODD | CSTOPB | CS7},
        {"2400,e,8,1", B2400, PARENB | CS8},
        {"1200,n,8,1", B1200, CS8},
        {"110,n,8,1", B110, CS8},
        {"300,m,7,1", B300, PARENB | PARODD | CMSPAR | CS7},
        {"600,s,8,2", B600, PARENB | CMSPAR | CSTOPB | CS8},
        {"1800,n,5,1.5", B1800, CSTOPB | CS5},
        {"230400,E,6,1", B230400, PARENB | CS6},
    };
    for (const Row& row : rows) {
        struct termios line {};
        line.c_cflag = CMSPAR | PARODD;
        ASSERT_TRUE(applyLineDefinition(line, row.text)) << row.text;
        EXPECT_EQ(cfgetospeed(&line), row.speed) << row.text;
        EXPECT_EQ(line.c_cflag & (PARENB | PARODD | CMSPAR | CSTOPB | CSIZE), row.bits) << row.text;
    }
}

TEST(LineDefinitionOnTermios, UnusableDefinitionLeavesTheLineAlone)
{
    for (const char* text : {"", "fast", "19200,x,8,1", "12345,n,8,1", "460800,e,8,1", "75,n,8,1", "9600,n,8,1.6"}) {
        struct termios line {};
        cfsetspeed(&line, B38400);
        line.c_cflag |= CS7 | PARENB;
        const struct termios before = line;
        EXPECT_FALSE(applyLineDefinition(line, text)) << text;
        EXPECT_EQ(std::memcmp(&line, &before, sizeof line), 0) << text;
    }
}

TEST(PosixSerialDevice, MissingPathFailsAndNoCloseFollows)
{
    PosixSerialDevice real;
    CountingDevice device(real);
    SystemClock clock;
    PathPortMap ports;
    ports.paths[1] = "/dev/does-not-exist-tempik";
    ReaderLink link(device, clock, ports);
    EXPECT_FALSE(link.openChannel(1, "19200,e,8,1"));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::noSuchPort);
    EXPECT_EQ(real.descriptor(), -1);
    link.closeChannel();
    EXPECT_EQ(device.opens, 1);
    EXPECT_EQ(device.closes, 0);
}

TEST(PosixSerialDevice, NotATerminalIsRefused)
{
    PosixSerialDevice device;
    EXPECT_FALSE(device.open("/dev/null", "19200,e,8,1"));
    EXPECT_EQ(device.failure(), DeviceFailure::notSerial);
    EXPECT_EQ(device.descriptor(), -1);
}

TEST(PosixSerialDevice, PortLockedByAnotherProcessIsBusy)
{
    PseudoTerminal pty;
    testing::PortHolder holder(pty.slavePath(), false);   // flock alone
    ASSERT_TRUE(holder.held());

    PosixSerialDevice device;
    EXPECT_FALSE(device.open(pty.slavePath(), "19200,e,8,1"));
    EXPECT_EQ(device.failure(), DeviceFailure::busy);
    EXPECT_EQ(device.descriptor(), -1);

    holder.release();
    EXPECT_TRUE(device.open(pty.slavePath(), "19200,e,8,1")) << "the port is free once the other program is gone";
    EXPECT_EQ(device.failure(), DeviceFailure::none);
}

TEST(PosixSerialDevice, SecondOpenInTheSameProgramIsBusyToo)
{
    PseudoTerminal pty;
    PosixSerialDevice first, second;
    ASSERT_TRUE(first.open(pty.slavePath(), "19200,e,8,1"));
    EXPECT_FALSE(second.open(pty.slavePath(), "19200,e,8,1"));
    EXPECT_EQ(second.failure(), DeviceFailure::busy);
    first.close();
    EXPECT_TRUE(second.open(pty.slavePath(), "19200,e,8,1"));
}

TEST(PosixSerialDevice, FramingBytesCrossBothWaysUnaltered)
{
    PseudoTerminal pty;
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath(), "19200,n,8,1"));
    // ETX is the interrupt key, CR and NL are translated, DC1/DC3 are flow control, DEL and
    // NAK edit a cooked line, 0x1C quits, 0xFF is marked on a parity-checking line.
    const std::vector<uint8_t> bytes = {0x03, 0x0D, 0x11, 0x13, 0x0A, 0x7F, 0x15, 0x1C, 0x1A, 0x04, 0xFF, 0x00, 0x0D};
    device.write(bytes.data(), bytes.size());
    EXPECT_EQ(pty.readExactly(bytes.size(), 1000), bytes);
    EXPECT_TRUE(pty.readAvailable(50).empty()) << "nothing added, nothing echoed";

    ASSERT_TRUE(pty.write(bytes));
    EXPECT_EQ(readThrough(device, bytes.size(), 1000), bytes);
    EXPECT_TRUE(pty.readAvailable(50).empty()) << "received bytes are not echoed back";
}

TEST(PosixSerialDevice, OpenFlushesWhatWasWaiting)
{
    PseudoTerminal pty;
    const int held = pty.holdSlave();
    struct termios raw {};
    tcgetattr(held, &raw);
    cfmakeraw(&raw);
    tcsetattr(held, TCSANOW, &raw);
    ASSERT_TRUE(pty.write(bytesOf("late answer")));
    pollfd waiting{held, POLLIN, 0};
    ASSERT_EQ(poll(&waiting, 1, 5000), 1) << "the bytes wait at the slave";
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath(), "19200,e,8,1"));
    EXPECT_TRUE(readThrough(device, 1, 30).empty());
}

TEST(PosixSerialDevice, ReadTellsNoByteFromGoneAndKeepsItsMillisecond)
{
    PseudoTerminal pty;
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath(), "19200,e,8,1"));
    uint8_t b = 0;
    auto start = Clock_::now();
    EXPECT_EQ(device.readByte(b), ReadOutcome::none);
    EXPECT_GE(Clock_::now() - start, std::chrono::microseconds(950));

    pty.closeMaster();
    start = Clock_::now();
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(device.readByte(b), ReadOutcome::gone);
    EXPECT_GE(Clock_::now() - start, std::chrono::milliseconds(19)) << "a gone device must not make reads spin";
    EXPECT_EQ(device.failure(), DeviceFailure::gone);
    const uint8_t one = 0x42;
    device.write(&one, 1);  // must return, not hang
    device.close();
}

TEST(PosixSerialDevice, UnparsableDefinitionStillOpensAndKeepsTheLine)
{
    PseudoTerminal pty;
    const int held = pty.holdSlave();
    struct termios line {};
    tcgetattr(held, &line);
    cfsetspeed(&line, B9600);
    ASSERT_EQ(tcsetattr(held, TCSANOW, &line), 0);

    PosixSerialDevice device;
    for (const char* text : {"nineteen-two,e,8,1", "", "12345,e,8,1"}) {
        EXPECT_TRUE(device.open(pty.slavePath(), text)) << text;
        EXPECT_EQ(pty.masterSpeed(), speed_t(B9600)) << text;
        // Raw mode is not part of the definition: the frames need it whatever the text says.
        EXPECT_EQ(pty.slaveTermios().c_lflag & ICANON, 0u) << text;
        device.close();
    }
}

TEST(PosixSerialDevice, EveryDefinitionOpensAtItsSpeed)
{
    PseudoTerminal pty;
    pty.holdSlave();
    const unsigned speeds[] = {4800, 9600, 19200, 38400, 57600, 115200, 230400};
    PosixSerialDevice device;
    for (int i = 0; i < lineDefinitionCount; ++i) {
        ASSERT_TRUE(device.open(pty.slavePath(), lineDefinitions[size_t(i)])) << lineDefinitions[size_t(i)];
        EXPECT_EQ(termiosBitsPerSecond(pty.masterSpeed()), speeds[i / 2]) << lineDefinitions[size_t(i)];
        device.keepLineAtClose();
        device.close();
        EXPECT_EQ(termiosBitsPerSecond(pty.masterSpeed()), speeds[i / 2]) << "the reader's line keeps its definition";
    }
}

TEST(PosixSerialDevice, CloseKeepsTheReadersLineAndPutsBackAnyOtherWhole)
{
    for (const bool readerAnswered : {true, false}) {
        SCOPED_TRACE(readerAnswered ? "the reader's port" : "a terminal without the reader");
        PseudoTerminal pty;
        const int held = pty.holdSlave();
        struct termios found {};
        tcgetattr(held, &found);   // a fresh terminal: canonical, echo, CR to NL
        found.c_cc[VMIN] = 0;
        found.c_cc[VTIME] = 7;
        ASSERT_EQ(tcsetattr(held, TCSANOW, &found), 0);

        PosixSerialDevice device;
        ASSERT_TRUE(device.open(pty.slavePath(), "57600,e,8,1"));
        EXPECT_EQ(pty.slaveTermios().c_cc[VMIN], 1);
        if (readerAnswered)
            device.keepLineAtClose();
        device.close();
        const struct termios after = pty.slaveTermios();
        EXPECT_EQ(after.c_cc[VMIN], 0);
        EXPECT_EQ(after.c_cc[VTIME], 7);
        if (readerAnswered)
            EXPECT_EQ(cfgetospeed(&after), speed_t(B57600));
        else
            EXPECT_EQ(std::memcmp(&after, &found, sizeof after), 0) << "the whole line state is back";
    }
}

// The lock file other programs (minicom) leave in the lock folder: LCK..pts_3 for /dev/pts/3.
TEST(PosixSerialDevice, UucpLockFileOfALiveProcessHoldsThePort)
{
    const pid_t ended = fork();
    if (ended == 0)
        _exit(0);
    waitpid(ended, nullptr, 0);
    const int self = getpid();
    char tenDigits[16];
    std::snprintf(tenDigits, sizeof tenDigits, "%10d\n", self);
    const struct {
        const char* name;
        std::string content;
        bool busy;
    } rows[] = {{"a live process in ten digits", tenDigits, true},
                {"a live process as a binary number", std::string(reinterpret_cast<const char*>(&self), 4), true},
                {"no process named", "locked\n", true},
                {"a process that has ended", std::to_string(ended) + "\n", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        PseudoTerminal pty;
        testing::TempFolder locks;
        std::string name = pty.slavePath().substr(5);
        std::replace(name.begin(), name.end(), '/', '_');
        testing::writeFile(locks.path() + "/LCK.." + name, row.content);
        PosixSerialDevice device(locks.path());
        EXPECT_EQ(device.open(pty.slavePath(), "19200,e,8,1"), !row.busy);
        EXPECT_EQ(device.failure(), row.busy ? DeviceFailure::busy : DeviceFailure::none);
    }
}

bool exclusiveMode(int fd)
{
    int exclusive = 0;
    return ioctl(fd, TIOCGEXCL, &exclusive) == 0 && exclusive != 0;
}

TEST(PosixSerialDevice, AnotherProgramsExclusiveModeStaysAndHoldsThePort)
{
    PseudoTerminal pty;
    const int held = pty.holdSlave();
    testing::PortHolder holder(pty.slavePath(), true, false);   // TIOCEXCL alone, no flock
    ASSERT_TRUE(holder.held());
    PosixSerialDevice device;
    EXPECT_FALSE(device.open(pty.slavePath(), "19200,e,8,1")) << "root too must leave it alone";
    EXPECT_EQ(device.failure(), DeviceFailure::busy);
    EXPECT_TRUE(exclusiveMode(held));
}

TEST(PosixSerialDevice, ExclusiveModeThatNobodyHoldsIsStale)
{
    if (geteuid() != 0)
        GTEST_SKIP() << "only root opens a port in exclusive mode";
    PseudoTerminal pty;
    const int held = pty.holdSlave();
    ASSERT_EQ(ioctl(held, TIOCEXCL), 0);   // as a killed program leaves it
    PosixSerialDevice device;
    ASSERT_TRUE(device.open(pty.slavePath(), "19200,e,8,1"));
    device.close();
    EXPECT_FALSE(exclusiveMode(held));
}

TEST(PosixSerialDevice, PortOfAKilledRunOpensForTheNextRun)
{
    PseudoTerminal pty;
    ASSERT_EQ(chmod(pty.slavePath().c_str(), 0666), 0);
    for (const char* run : {"the killed run", "the next run"}) {
        SCOPED_TRACE(run);
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        // Opens as nobody when the tests run as root, tells whether it could, waits for SIGKILL.
        const pid_t child = fork();
        if (child == 0) {
            if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
                _exit(126);
            PosixSerialDevice device;
            const char answer = device.open(pty.slavePath(), "19200,e,8,1") ? '1' : '0';
            (void)!write(report[1], &answer, 1);
            pause();
        }
        close(report[1]);
        char answer = '0';
        EXPECT_EQ(read(report[0], &answer, 1), 1);
        EXPECT_EQ(answer, '1');
        close(report[0]);
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
}

TEST(PosixSerialDevice, DestructorReleasesThePort)
{
    PseudoTerminal pty;
    {
        PosixSerialDevice device;
        ASSERT_TRUE(device.open(pty.slavePath(), "19200,e,8,1"));
    }
    PosixSerialDevice again;
    EXPECT_TRUE(again.open(pty.slavePath(), "19200,e,8,1"));
}

class ExchangeOverPty : public ::testing::Test {
protected:
    void SetUp() override
    {
        ports.paths[1] = pty.slavePath();
        ASSERT_TRUE(link.openChannel(1, "19200,e,8,1"));
    }
    void TearDown() override
    {
        if (reader.joinable())
            reader.join();
        link.closeChannel();
    }

    PseudoTerminal pty;
    PosixSerialDevice real;
    CountingDevice device{real};
    SystemClock clock;
    PathPortMap ports;
    ReaderLink link{device, clock, ports};
    std::thread reader;
};

TEST_F(ExchangeOverPty, ReplyFromTheFarEndIsReceived)
{
    // Flow-control and interrupt bytes in the request and in the reply.
    const std::string payload = std::string("0000") + "Z\x03\x11\x13";
    const std::vector<uint8_t> request = buildRequestFrame(payload);
    const std::vector<uint8_t> reply = buildReplyFrame("00\x11\x13" "0042OK\x11");
    std::vector<uint8_t> seen;
    reader = std::thread([&] {
        seen = pty.readExactly(request.size(), 1000);
        pty.write(bytesOf("\x11\x13noise"));
        pty.write(reply);
    });
    ASSERT_TRUE(link.sendCommand(payload, true));
    reader.join();
    EXPECT_EQ(seen, request);
    EXPECT_EQ(link.replyLength(), reply.size());
    EXPECT_EQ(bytesOf(link.replyText()), reply);
    link.closeChannel();
    EXPECT_EQ(termiosBitsPerSecond(pty.masterSpeed()), 19200u) << "the reader's port keeps its line";
}

TEST_F(ExchangeOverPty, OutputThatNeverDrainsLeavesTheDeviceGoneUntilReopened)
{
    const int held = pty.holdSlave();
    ASSERT_EQ(tcflow(held, TCOOFF), 0);
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_EQ(link.lastFailure(), DeviceFailure::gone);
    ASSERT_EQ(tcflow(held, TCOON), 0);
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    EXPECT_TRUE(pty.readAvailable(50).empty()) << "a device given up is not written to again";
}

TEST_F(ExchangeOverPty, MasterClosedDuringTheWaitEndsTheWait)
{
    reader = std::thread([&] {
        pty.readExactly(13, 1000);
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        pty.closeMaster();
    });
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    reader.join();
    EXPECT_EQ(link.lastFailure(), DeviceFailure::gone);
    EXPECT_TRUE(link.deviceLost());
    EXPECT_LE(device.reads, 125) << "every empty read, gone or not, costs its millisecond";
}

TEST_F(ExchangeOverPty, SilentReaderEndsAfterTheWait)
{
    reader = std::thread([&] { pty.readExactly(13, 1000); });
    const auto start = Clock_::now();
    EXPECT_FALSE(link.sendCommand("0000AS", true));
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock_::now() - start).count();
    EXPECT_GE(took, 24 + 120);
    EXPECT_EQ(link.lastFailure(), DeviceFailure::none);
}

} // namespace
} // namespace tempik
