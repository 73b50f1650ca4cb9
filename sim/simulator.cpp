#include "sim/simulator.h"

#include "link/line_definition.h"
#include "sim/port_link.h"
#include "sim/pseudo_terminal.h"
#include "sim/request_parser.h"
#include "sim/responder.h"
#include "sim/state_json.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <deque>
#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace tempik::sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Blocks the stop signals for the run and delivers them through a descriptor, so the poll loop
// sees them like any input; restores the mask at the end.
class StopSignals {
public:
    StopSignals()
    {
        sigemptyset(&set_);
        sigaddset(&set_, SIGINT);
        sigaddset(&set_, SIGTERM);
        sigaddset(&set_, SIGHUP);
        sigprocmask(SIG_BLOCK, &set_, &old_);
        fd_ = signalfd(-1, &set_, SFD_NONBLOCK | SFD_CLOEXEC);
    }
    ~StopSignals()
    {
        if (fd_ >= 0)
            ::close(fd_);
        sigprocmask(SIG_SETMASK, &old_, nullptr);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;
    int fd() const { return fd_; }

private:
    sigset_t set_{};
    sigset_t old_{};
    int fd_ = -1;
};

struct PendingReply {
    SteadyClock::time_point due;
    std::vector<uint8_t> bytes;
};

class Loop {
public:
    Loop(const SimOptions& options, PseudoTerminal& pty, ReaderState& state, std::ostream& err)
        : options_(options), pty_(pty), state_(state), responder_(state, options.faults), err_(err)
    {
    }

    bool saveState()
    {
        if (options_.stateFile.empty())
            return true;
        std::string error;
        if (writeFileAtomically(options_.stateFile, stateToJson(state_), error))
            return true;
        err_ << "tempik-sim: " << error << std::endl;
        return false;
    }

    // Runs until a stop signal.
    void run(int signalFd)
    {
        for (;;) {
            pollfd fds[2] = {{signalFd, POLLIN, 0}, {pty_.master(), POLLIN, 0}};
            if (!output_.empty())
                fds[1].events |= POLLOUT;
            const int n = poll(fds, 2, timeoutMs());
            if (n < 0 && errno != EINTR)
                return;
            if (fds[0].revents & POLLIN) {
                // Taken here, so the signal is not delivered again when the mask is restored.
                signalfd_siginfo info;
                (void)!::read(signalFd, &info, sizeof info);
                return;
            }
            if (fds[1].revents & POLLIN)
                readRequests();
            releaseDueReplies();
            flushOutput();
        }
    }

private:
    int timeoutMs() const
    {
        if (pending_.empty())
            return output_.empty() ? -1 : 10;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            pending_.front().due - SteadyClock::now());
        return left.count() <= 0 ? 0 : static_cast<int>(left.count()) + 1;
    }

    void readRequests()
    {
        uint8_t buffer[4096];
        const ssize_t n = ::read(pty_.master(), buffer, sizeof buffer);
        if (n <= 0)
            return;   // EAGAIN; our own slave descriptor keeps the master from hanging up
        for (ssize_t i = 0; i < n; ++i) {
            const unsigned long droppedBefore = parser_.dropped();
            if (auto payload = parser_.feed(buffer[i]))
                onRequest(*payload);
            else if (options_.verbose && parser_.dropped() != droppedBefore)
                err_ << "tempik-sim: bad request frame, no reply" << std::endl;
        }
    }

    void onRequest(const std::string& payload)
    {
        // The host's speed at the moment the request is complete; parity cannot be seen.
        const unsigned host = pty_.hostSpeed();
        const auto own = parseLineDefinition(state_.line);
        if (!own || host != own->speed) {
            if (options_.verbose)
                err_ << "tempik-sim: " << payload << " at " << host << " bps, reader at "
                     << state_.line << ": no reply" << std::endl;
            return;
        }
        Response response = responder_.handle(payload);
        if (response.stateChanged)
            saveState();
        if (options_.verbose)
            err_ << "tempik-sim: " << payload << ": " << response.summary << std::endl;
        if (!response.answered)
            return;
        // An AE reply was built before the switch and goes out as it is: the reader answers at
        // the old speed; the next request is judged against the new one.
        pending_.push_back({SteadyClock::now() + std::chrono::milliseconds(options_.faults.delayMs),
                            std::move(response.bytes)});
    }

    void releaseDueReplies()
    {
        const auto now = SteadyClock::now();
        while (!pending_.empty() && pending_.front().due <= now) {
            auto& bytes = pending_.front().bytes;
            output_.insert(output_.end(), bytes.begin(), bytes.end());
            pending_.pop_front();
        }
    }

    void flushOutput()
    {
        while (!output_.empty()) {
            uint8_t chunk[4096];
            const size_t count = std::min(output_.size(), sizeof chunk);
            std::copy(output_.begin(), output_.begin() + static_cast<long>(count), chunk);
            const ssize_t n = ::write(pty_.master(), chunk, count);
            if (n <= 0)
                return;   // the slave's input is full (no one reads it): try again later
            output_.erase(output_.begin(), output_.begin() + n);
        }
    }

    const SimOptions& options_;
    PseudoTerminal& pty_;
    ReaderState& state_;
    Responder responder_;
    RequestParser parser_;
    std::ostream& err_;
    std::deque<PendingReply> pending_;
    std::deque<uint8_t> output_;
};

} // namespace

int runSimulator(const SimOptions& options, std::ostream& out, std::ostream& err)
{
    StopSignals signals;
    if (signals.fd() < 0) {
        err << "tempik-sim: signalfd: " << std::strerror(errno) << std::endl;
        return 1;
    }
    PseudoTerminal pty;
    std::string error;
    if (!pty.open(error)) {
        err << "tempik-sim: " << error << std::endl;
        return 1;
    }
    ReaderState state;
    state.identifier = options.identifier;
    state.serial = options.serial;
    state.version = options.version;
    state.line = options.line;

    Loop loop(options, pty, state, err);
    if (!loop.saveState())
        return 1;
    PortLink link;
    if (!options.linkPath.empty() && !link.create(options.linkPath, pty.slavePath(), error)) {
        err << "tempik-sim: " << error << std::endl;
        return 1;
    }
    out << "ready " << pty.slavePath() << std::endl;
    loop.run(signals.fd());
    return 0;
}

} // namespace tempik::sim
