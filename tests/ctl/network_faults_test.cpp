// tempikctl when the far end misbehaves: a reader that answers late, a server that goes away
// in the middle of an icon upload, a connection refused, a server that never agrees to RFC 2217,
// and a name server that never answers.
#include "tests/support/ser2net.h"
#include "tests/support/sim_process.h"
#include "tests/support/tcp_far_end.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <unistd.h>

using namespace tempik::testing;

namespace {

ProgramResult ctl(const std::vector<std::string>& args)
{
    return runProgram(ctlBinaryPath(), args, std::chrono::seconds(8));
}

// The trace's frames without the time that begins each line.
std::string untimed(const std::string& trace)
{
    std::istringstream lines(trace);
    std::string line, out;
    while (std::getline(lines, line)) {
        const size_t time = line.find(" ms] ");
        out += (time != std::string::npos ? line.substr(time + 5) : line) + "\n";
    }
    return out;
}

// A socket bound on a loopback address, never read: a name server, or a listener whose queue
// takes connections nobody answers.
class SilentSocket {
public:
    SilentSocket(int type, const char* address, int port)
    {
        fd_ = ::socket(AF_INET, type | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, address, &a.sin_addr);
        socklen_t length = sizeof a;
        bound_ = fd_ >= 0 && ::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
                 (type != SOCK_STREAM || ::listen(fd_, 4) == 0) &&
                 ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &length) == 0;
        port_ = ntohs(a.sin_port);
    }
    ~SilentSocket() { ::close(fd_); }
    bool bound() const { return bound_; }
    int port() const { return port_; }

private:
    int fd_ = -1;
    int port_ = 0;
    bool bound_ = false;
};

} // namespace

// The reader answers 170 ms late, after each wait has ended: no exchange may take the reply
// that belongs to the one before it.
TEST(NetworkFaults, ALateReplyIsNeverTheNextExchangesReply)
{
    SimSetup setup;
    setup.args = {"--delay-ms", "170"};
    SimProcess sim(setup);
    ASSERT_TRUE(sim.ready()) << sim.failure();
    setenv("XDG_CONFIG_HOME", sim.configRoot().c_str(), 1);
    const ProgramResult result = ctl({"--port", "3", "--trace", "set-volume", "3"});
    EXPECT_EQ(result.exitCode, 1) << result.out;
    EXPECT_EQ(result.out.substr(0, result.out.find(" (")), "Set Error");
    const std::string status = "> 01 30 30 30 30 41 53 02 31 45 35 36 0D  |.0000AS.1E56.| COM3\n";
    EXPECT_EQ(untimed(result.err), status + status);
}

// The far end goes at the first byte after the status query and the eight picture blocks,
// having answered them all: those answers are no reply to the title mode command.
TEST(NetworkFaults, AServerGoneDuringAnIconUploadIsSetError)
{
    TempFolder root;
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    const std::string icon = root.path() + "/dot.ico";
    IconBytes().on(5, 5).write(icon);
    for (bool rfc2217 : {false, true}) {
        SCOPED_TRACE(rfc2217 ? "rfc2217" : "socket");
        TcpFarEnd server(rfc2217, 13 + 8 * 78 + 1);
        const ProgramResult result = ctl({"--port", server.url(), "--trace", "set-icon", icon});
        EXPECT_EQ(result.exitCode, 1) << result.out << result.err;
        EXPECT_EQ(result.out.substr(0, result.out.find(" (")), "Set Error");
        EXPECT_TRUE(server.closed());
        const std::vector<std::string> payloads = server.payloads();
        ASSERT_EQ(payloads.size(), 9u);
        EXPECT_EQ(payloads[0], "0000AS");
        EXPECT_EQ(payloads[8].substr(0, 7), "0000BB7");
    }
}

// Each cause is named, and each within the open's two seconds.
TEST(NetworkFaults, APortThatCannotBeUsedSaysWhy)
{
    TempFolder root;
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    const SilentSocket mute(SOCK_STREAM, "127.0.0.1", 0);
    ASSERT_TRUE(mute.bound());
    const int refusedPort = freeTcpPort();
    const struct {
        std::string url;
        std::string error;
    } rows[] = {
        {"socket://127.0.0.1:" + std::to_string(refusedPort), "connection refused"},
        {"rfc2217://127.0.0.1:" + std::to_string(mute.port()), "no RFC 2217 server at that address"},
    };
    for (const auto& row : rows) {
        const ProgramResult result = ctl({"--port", row.url, "set-volume", "3"});
        EXPECT_EQ(result.exitCode, 3) << row.url << result.out;
        EXPECT_EQ(result.err, "tempikctl: COM1: " + row.error + "\n");
    }
}

// A name server that takes the question and never answers: the open still ends within its
// limit. The machine's resolver is pointed at it in a private mount namespace.
TEST(NetworkFaults, ANameServerThatNeverAnswersEndsTheOpenInTime)
{
    if (geteuid() != 0 || runProgram("/usr/bin/unshare", {"-m", "true"}).exitCode != 0)
        GTEST_SKIP() << "needs root and mount namespaces (unshare -m)";
    const SilentSocket nameServer(SOCK_DGRAM, "127.83.1.1", 53);
    ASSERT_TRUE(nameServer.bound());
    TempFolder root;
    setenv("XDG_CONFIG_HOME", root.path().c_str(), 1);
    writeFile(root.path() + "/resolv.conf", "nameserver 127.83.1.1\noptions timeout:30 attempts:1\n");
    // 8 s for the program as a whole, four times the open's limit: the lookup alone would take 30.
    const ProgramResult result = runProgram(
        "/usr/bin/unshare", { "-m", "/bin/sh", "-c", "mount --bind \"$0\" /etc/resolv.conf && exec \"$@\"",
             root.path() + "/resolv.conf", ctlBinaryPath(), "--port", "socket://reader.invalid:4001", "set-volume", "3"},
        std::chrono::seconds(8));
    EXPECT_FALSE(result.timedOut);
    EXPECT_EQ(result.exitCode, 3) << result.out;
    EXPECT_EQ(result.err, "tempikctl: COM1: unknown host name\n");
}
