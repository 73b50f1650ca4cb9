#include "tests/support/far_end.h"

#include "link/frame.h"
#include "tests/support/fake_device.h"

#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace tempik::testing {

FarEnd::FarEnd(PseudoTerminal& pty, Script script, size_t vanishAfterBytes)
    : pty_(pty), script_(std::move(script)), vanishAfterBytes_(vanishAfterBytes), thread_([this] { run(); })
{
}

FarEnd::~FarEnd()
{
    stop_ = true;
    thread_.join();
}

FarEnd::Answer FarEnd::answering(const std::string& payload, int)
{
    return {readerReply(payload), false};
}

std::vector<std::string> FarEnd::payloads() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return payloads_;
}

void FarEnd::run()
{
    while (!stop_ && pty_.masterOpen()) {
        pollfd p{pty_.master(), POLLIN, 0};
        const int ready = poll(&p, 1, 5);
        if (ready <= 0)
            continue;
        uint8_t chunk[256];
        const ssize_t n = (p.revents & POLLIN) ? ::read(pty_.master(), chunk, sizeof chunk) : -1;
        if (n <= 0) {
            // Nobody has the slave open (between two operations): the master reports a hang-up
            // at once until somebody does; wait instead of spinning.
            usleep(1000);
            continue;
        }
        for (ssize_t i = 0; i < n; ++i)
            if (!take(chunk[i]))
                return;
    }
}

bool FarEnd::take(uint8_t byte)
{
    if (++received_ == vanishAfterBytes_) {
        pty_.closeMaster();
        vanished_ = true;
        return false;
    }
    if (byte == SOH) {
        frame_.clear();
        inFrame_ = true;
        checkBytesLeft_ = -1;
        return true;
    }
    if (!inFrame_)
        return true;
    if (checkBytesLeft_ < 0) {
        if (byte == STX)
            checkBytesLeft_ = 5;
        else
            frame_ += static_cast<char>(byte);
        return true;
    }
    if (--checkBytesLeft_ > 0)
        return true;
    inFrame_ = false;
    int index = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        payloads_.push_back(frame_);
        index = static_cast<int>(payloads_.size()) - 1;
    }
    const Answer answer = script_(frame_, index);
    if (!answer.reply.empty())
        pty_.write(answer.reply);
    if (answer.vanish) {
        pty_.closeMaster();
        vanished_ = true;
        return false;
    }
    return true;
}

} // namespace tempik::testing
