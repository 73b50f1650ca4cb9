// The network port on a scripted socket: the Telnet and RFC 2217 bytes it sends at open, IAC
// doubling both ways, commands split across reads, notifications and stale data consumed, a
// closed connection as a gone device; and the URLs that name a network port.
#include "link/network_device.h"

#include <gtest/gtest.h>

#include <deque>

namespace tempik {
namespace {

using Bytes = std::vector<uint8_t>;

struct Script {
    std::deque<Bytes> incoming;   // one receive each
    bool closedAfter = false;     // then the server closes
    Bytes sent;
    std::string connectedTo;
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
        script_.sent.insert(script_.sent.end(), data, data + count);
        return true;
    }
    long receive(uint8_t* buffer, size_t size, int64_t) override
    {
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

} // namespace
} // namespace tempik
