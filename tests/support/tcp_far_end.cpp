#include "tests/support/tcp_far_end.h"

#include "link/frame.h"
#include "tests/support/fake_device.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <stdexcept>
#include <sys/socket.h>
#include <unistd.h>

namespace tempik::testing {

namespace {
constexpr unsigned char IAC = 255, SB = 250, SE = 240, WILL = 251, DO = 253, COM_PORT = 44;
} // namespace

TcpFarEnd::TcpFarEnd(bool rfc2217, size_t closeAfterBytes) : rfc2217_(rfc2217), closeAfterBytes_(closeAfterBytes)
{
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 1) != 0 || ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { run(); });
}

TcpFarEnd::~TcpFarEnd()
{
    stop_ = true;
    thread_.join();
    ::close(listener_);
}

std::string TcpFarEnd::url() const
{
    return std::string(rfc2217_ ? "rfc2217" : "socket") + "://127.0.0.1:" + std::to_string(port_);
}

std::vector<std::string> TcpFarEnd::payloads() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return payloads_;
}

void TcpFarEnd::run()
{
    pollfd p{listener_, POLLIN, 0};
    while (!stop_)
        if (::poll(&p, 1, 5) > 0) {
            const int connection = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection >= 0)
                serve(connection);
            return;
        }
}

void TcpFarEnd::serve(int connection)
{
    if (rfc2217_) {
        const unsigned char agree[] = {IAC, DO, COM_PORT};
        ::send(connection, agree, sizeof agree, MSG_NOSIGNAL);
    }
    std::vector<unsigned char> command;   // an IAC sequence under way
    while (!stop_ && !closed_) {
        pollfd p{connection, POLLIN, 0};
        if (::poll(&p, 1, 5) <= 0)
            continue;
        unsigned char chunk[512];
        const ssize_t n = ::recv(connection, chunk, sizeof chunk, 0);
        if (n <= 0)
            break;
        for (ssize_t i = 0; i < n && !closed_; ++i) {
            const unsigned char b = chunk[i];
            if (!rfc2217_) {
                takeData(connection, b);
                continue;
            }
            if (command.empty() && b != IAC) {
                takeData(connection, b);
                continue;
            }
            command.push_back(b);
            if (command.size() == 2 && b == IAC) {   // a doubled 0xFF is data
                command.clear();
                takeData(connection, IAC);
            } else if (command.size() == 3 && command[1] != SB) {
                command.clear();   // WILL/DO/... : the option is agreed already
            } else if (command.size() > 3 && command[1] == SB && command[command.size() - 2] == IAC && b == SE) {
                std::vector<unsigned char> answer = command;
                answer[3] = static_cast<unsigned char>(answer[3] + 100);
                ::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL);
                command.clear();
            }
        }
    }
    ::close(connection);
}

void TcpFarEnd::takeData(int connection, unsigned char byte)
{
    if (++dataBytes_ == closeAfterBytes_) {
        closed_ = true;
        return;
    }
    if (byte == SOH) {
        frame_.clear();
        inFrame_ = true;
        checkBytesLeft_ = -1;
        return;
    }
    if (!inFrame_)
        return;
    if (checkBytesLeft_ < 0) {
        if (byte == STX)
            checkBytesLeft_ = 5;
        else
            frame_ += static_cast<char>(byte);
        return;
    }
    if (--checkBytesLeft_ > 0)
        return;
    inFrame_ = false;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        payloads_.push_back(frame_);
    }
    std::vector<uint8_t> reply = readerReply(frame_);
    if (rfc2217_)
        for (size_t i = 0; i < reply.size(); ++i)
            if (reply[i] == IAC)
                reply.insert(reply.begin() + static_cast<long>(++i), IAC);
    ::send(connection, reply.data(), reply.size(), MSG_NOSIGNAL);
}

} // namespace tempik::testing
