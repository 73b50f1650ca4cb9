#pragma once
// A scripted reader behind a TCP port on 127.0.0.1, run in a thread of the test: raw, or speaking
// just enough RFC 2217 (agrees to the option, acknowledges each command). It answers every
// request frame as a reader that takes everything, and closes the connection once a given
// number of data bytes has arrived: a server that goes away in the middle of an operation.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tempik::testing {

class TcpFarEnd {
public:
    TcpFarEnd(bool rfc2217, size_t closeAfterBytes);
    ~TcpFarEnd();
    TcpFarEnd(const TcpFarEnd&) = delete;
    TcpFarEnd& operator=(const TcpFarEnd&) = delete;

    std::string url() const;
    std::vector<std::string> payloads() const;   // request payloads received, in order
    bool closed() const { return closed_; }

private:
    void run();
    void serve(int connection);
    void takeData(int connection, unsigned char byte);

    bool rfc2217_;
    size_t closeAfterBytes_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> closed_{false};
    size_t dataBytes_ = 0;
    std::string frame_;
    bool inFrame_ = false;
    int checkBytesLeft_ = -1;
    mutable std::mutex mutex_;
    std::vector<std::string> payloads_;
    std::thread thread_;
};

} // namespace tempik::testing
