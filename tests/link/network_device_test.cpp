// The network port on a scripted socket: the Telnet and RFC 2217 bytes it sends at open, IAC
// doubling both ways, commands split across reads, notifications and stale data consumed, a
// closed connection as a gone device; and the URLs that name a network port.
#include "link/network_device.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace tempik {
namespace {

using Bytes = std::vector<uint8_t>;

struct Script {
    std::deque<Bytes> incoming;   // one receive each
    bool closedAfter = false;     // then the server closes
    bool sendsFail = false;       // output cannot leave (a server that never reads, a reset)
    Bytes sent;
    int sendCalls = 0;
    std::string connectedTo;
    std::function<void()> onReceive;
};

class FakeSocket final : public NetworkSocket {
public:
    explicit FakeSocket(Script& script) : script_(script) {}
    bool connect(const std::string& host, uint16_t port, int, DeviceFailure&) override
    {
        script_.connectedTo = host + ":" + std::to_string(port);
        return true;
    }
    void close() override {}
    bool send(const uint8_t* data, size_t count) override
    {
        ++script_.sendCalls;
        if (script_.sendsFail)
            return false;
        script_.sent.insert(script_.sent.end(), data, data + count);
        return true;
    }
    long receive(uint8_t* buffer, size_t size, int64_t) override
    {
        if (script_.onReceive)
            script_.onReceive();
        if (script_.incoming.empty())
            return script_.closedAfter ? -1 : 0;
        Bytes chunk = script_.incoming.front();
        script_.incoming.pop_front();
        EXPECT_LE(chunk.size(), size);
        std::copy(chunk.begin(), chunk.end(), buffer);
        return static_cast<long>(chunk.size());
    }

private:
    Script& script_;
};

constexpr uint8_t IAC = 255, SB = 250, SE = 240, WILL = 251, WONT = 252, DO = 253, DONT = 254;

// What a server such as ser2net says at connect, with the agreement to the option cut in two.
const Bytes serverHello1 = {IAC, WILL, 3, IAC, DO, 3, IAC, WILL, 1, IAC, DO, 0, IAC, WILL, 0, IAC};
const Bytes serverHello2 = {DO, 44, IAC, SB, 44, 107, 0, IAC, SE};
// The acknowledgements, out of order and split inside one.
const Bytes acks1 = {IAC, SB, 44, 112, 3, IAC, SE, IAC, SB, 44, 101, 0, 0, 0x4B};
const Bytes acks2 = {0, IAC, SE, IAC, SB, 44, 102, 8, IAC, SE, IAC, SB, 44, 103, 3, IAC, SE, IAC, SB, 44, 104, 1, IAC, SE};

Bytes readAll(NetworkDevice& device)
{
    Bytes bytes;
    uint8_t b = 0;
    while (device.readByte(b) == ReadOutcome::byte)
        bytes.push_back(b);
    return bytes;
}

TEST(NetworkDevice, Rfc2217OpenNegotiatesSetsTheLineAndPurges)
{
    Script script;
    script.incoming = {serverHello1, serverHello2, {0x41, 0x42}, acks1, acks2, {0x03, 0x0D}};
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    ASSERT_TRUE(device.open("rfc2217://reader-7.example:4001", "19200,e,8,1"));
    EXPECT_EQ(script.sent.size(), 9u) << "only the offer at open; the rest before the first byte";
    // "AB" came before the purge was confirmed: a left-over of an earlier session.
    EXPECT_EQ(readAll(device), (Bytes{0x03, 0x0D}));

    EXPECT_EQ(script.connectedTo, "reader-7.example:4001");
    const Bytes expected = {
        IAC, WILL, 0, IAC, DO, 0, IAC, WILL, 44,                    // binary both ways, the option
        IAC, DO, 3, IAC, WILL, 3, IAC, DONT, 1,                     // answers: SGA yes, echo no
        IAC, SB, 44, 1, 0, 0, 0x4B, 0, IAC, SE,                     // 19200
        IAC, SB, 44, 2, 8, IAC, SE, IAC, SB, 44, 3, 3, IAC, SE,     // 8 bits, even
        IAC, SB, 44, 4, 1, IAC, SE, IAC, SB, 44, 12, 3, IAC, SE};   // 1 stop bit, purge both
    EXPECT_EQ(script.sent, expected);
    EXPECT_EQ(device.failure(), DeviceFailure::none);
}

TEST(NetworkDevice, Rfc2217DoublesIacBothWaysAndConsumesCommandsSplitAcrossReads)
{
    Script script;
    script.incoming = {serverHello1, serverHello2, acks1, acks2,
                       {0x03, 0x41, IAC}, {IAC, 0x42, IAC}, {SB, 44, 106, 0x10, IAC}, {SE, IAC, 241, 0x0D},
                       {IAC, DO, 24}};
    script.closedAfter = true;
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    ASSERT_TRUE(device.open("rfc2217://127.0.0.1:4001", "not a line"));
    uint8_t first = 0;
    ASSERT_EQ(device.readByte(first), ReadOutcome::byte);
    EXPECT_EQ(first, 0x03);
    script.sent.clear();

    const Bytes request = {0x01, IAC, 0x30, IAC, IAC, 0x0D};
    device.write(request.data(), request.size());
    EXPECT_EQ(readAll(device), (Bytes{0x41, IAC, 0x42, 0x0D}));
    const Bytes expected = {0x01, IAC, IAC, 0x30, IAC, IAC, IAC, IAC, 0x0D,   // the request
                            IAC, WONT, 24};                                 // terminal type refused
    EXPECT_EQ(script.sent, expected);
    EXPECT_EQ(device.failure(), DeviceFailure::gone);
}

TEST(NetworkDevice, ARawSocketCarriesBytesAsTheyAreAndSendsNoLine)
{
    Script script;
    script.incoming = {{0x03, IAC, 0x0D}};
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    ASSERT_TRUE(device.open("socket://[::1]:7000?reply-ms=400", "19200,e,8,1"));
    const Bytes request = {0x01, IAC, 0x0D};
    device.write(request.data(), request.size());
    EXPECT_EQ(script.sent, request);
    EXPECT_EQ(readAll(device), (Bytes{0x03, IAC, 0x0D}));
    EXPECT_EQ(script.connectedTo, "::1:7000");
    EXPECT_EQ(device.replyWaitMs(), 400u);
}

TEST(NetworkDevice, Rfc2217LineCommandsCarryParityAndStopBitsAsTheOptionCodesThem)
{
    const struct {
        const char* line;
        uint8_t parity, stopSize;
    } rows[] = {{"9600,n,8,1", 1, 1}, {"9600,o,8,2", 2, 2}, {"9600,e,7,1", 3, 1},
                {"9600,m,8,1", 4, 1}, {"9600,s,8,1", 5, 1}, {"9600,n,5,1.5", 1, 3}};
    for (const auto& row : rows) {
        TelnetCodec codec;
        const Bytes sent = codec.lineCommands(*parseLineDefinition(row.line));
        const Bytes tail = {IAC, SB, 44, 3, row.parity, IAC, SE, IAC, SB, 44, 4, row.stopSize, IAC, SE};
        ASSERT_GE(sent.size(), tail.size());
        EXPECT_EQ(Bytes(sent.end() - static_cast<long>(tail.size()), sent.end()), tail) << row.line;
    }
}

// A server that floods data before it agrees to the option: what waits is bounded, and none of
// it is taken for a reply once the purge is confirmed.
TEST(NetworkDevice, DataBeforeTheAgreementIsBoundedAndDropped)
{
    Script script;
    for (int i = 0; i < 400; ++i)
        script.incoming.push_back(Bytes(512, 'x'));
    for (const Bytes& part : {serverHello1, serverHello2, acks1, acks2, Bytes{0x03, 0x0D}})
        script.incoming.push_back(part);
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    size_t mostKept = 0;
    script.onReceive = [&] { mostKept = std::max(mostKept, device.keptBytes()); };
    ASSERT_TRUE(device.open("rfc2217://127.0.0.1:4001", "19200,e,8,1"));
    EXPECT_EQ(readAll(device), (Bytes{0x03, 0x0D}));
    EXPECT_LE(mostKept, NetworkDevice::keptLimit);
}

// Output that cannot leave makes the port gone: nothing more is sent, and bytes that arrived
// before are no reply. And input from before a request can be discarded.
TEST(NetworkDevice, AWriteThatFailsLeavesTheDeviceGoneAndBufferedBytesAreNoReply)
{
    Script script;
    script.incoming = {{0x41, 0x42}, {0x43}, {}, {0x03, 0x0D}};
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    ASSERT_TRUE(device.open("socket://127.0.0.1:7000", ""));
    device.discardInput();
    const Bytes request = {0x01, 0x0D};
    device.write(request.data(), request.size());
    EXPECT_EQ(readAll(device), (Bytes{0x03, 0x0D}));
    EXPECT_EQ(script.sent, request);

    script.incoming = {{0x03, 0x0D}};
    script.sendsFail = true;
    script.sendCalls = 0;
    device.write(request.data(), request.size());
    device.write(request.data(), request.size());
    EXPECT_EQ(script.sendCalls, 1);
    EXPECT_EQ(device.failure(), DeviceFailure::gone);
    uint8_t b = 0;
    EXPECT_EQ(device.readByte(b), ReadOutcome::gone);
}

// A server that never agrees to the option is named as such, and nothing goes to it.
TEST(NetworkDevice, AServerThatRefusesTheOptionIsNoRfc2217Server)
{
    Script script;
    script.incoming = {{IAC, DONT, 44}};
    NetworkDevice device(std::make_unique<FakeSocket>(script));
    ASSERT_TRUE(device.open("rfc2217://127.0.0.1:4001", "19200,e,8,1"));
    uint8_t b = 0;
    EXPECT_EQ(device.readByte(b), ReadOutcome::gone);
    EXPECT_EQ(device.failure(), DeviceFailure::noRfc2217Server);
    script.sendCalls = 0;
    device.write(&b, 1);
    EXPECT_EQ(script.sendCalls, 0);
}

TEST(NetworkUrl, WhatNamesANetworkPort)
{
    const struct {
        const char* url;
        bool valid;
    } rows[] = {{"rfc2217://10.0.0.5:4001", true},     {"socket://host.example:23", true},
                {"rfc2217://[fe80::1]:4001", true},    {"rfc2217://h:4001?reply-ms=120", true},
                {"rfc2217://h:4001?reply-ms=119", false}, {"rfc2217://h:4001?reply-ms=10001", false},
                {"rfc2217://h:4001?speed=9600", false}, {"rfc2217://:4001", false},
                {"rfc2217://h", false},                 {"rfc2217://h:0", false},
                {"rfc2217://h:65536", false},           {"rfc2217://fe80::1:4001", false},
                {"telnet://h:23", false}};
    for (const auto& row : rows)
        EXPECT_EQ(parseNetworkUrl(row.url).has_value(), row.valid) << row.url;
}

// What a text editor may leave in a ports file around the URL.
TEST(NetworkUrl, APortsFileNamesItsUrlDespiteAByteOrderMarkCaseOrSpaces)
{
    // Built for Windows too: no mkdtemp there.
    const std::string path =
        (std::filesystem::temp_directory_path() / ("tempik-url-" + std::to_string(::getpid()))).string();
    const struct {
        const char* content;
        const char* url;   // nullptr: no URL
    } rows[] = {{"\xEF\xBB\xBFrfc2217://h:4001\r\n", "rfc2217://h:4001"},
                {"  SOCKET://h:23  \n", "socket://h:23"},
                {"\tRfc2217://H:4001?reply-ms=400\n", "rfc2217://H:4001?reply-ms=400"},
                {"\xEF\xBB\xBF /dev/pts/3\n", nullptr},
                {"# rfc2217://h:4001\n", nullptr}};
    for (const auto& row : rows) {
        std::ofstream(path, std::ios::binary | std::ios::trunc) << row.content;
        const std::optional<std::string> url = networkUrlInFile(path);
        EXPECT_EQ(url.value_or("<none>"), row.url ? row.url : "<none>") << row.content;
        if (url) {
            EXPECT_TRUE(parseNetworkUrl(*url).has_value()) << *url;
        }
    }
    std::remove(path.c_str());
}

} // namespace
} // namespace tempik
