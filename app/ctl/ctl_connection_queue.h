#pragma once
// --all runs one thread per port, but a device server with 32 ports must not see 32
// connections at the same instant: the runs of ports on one network host go at most
// connectionsPerHost at a time, the rest queued in port order. Local ports are not limited.
#include <cstddef>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace tempik::ctl {

constexpr int connectionsPerHost = 8;

// The network host a port's device names ("socket://Server:4001" gives "server"); empty for a
// local device.
std::string networkHostOf(const std::string& devicePath);

// Which runs may start, without threads: hosts[i] is run i's host, empty for none.
class ConnectionQueue {
public:
    explicit ConnectionQueue(std::vector<std::string> hosts, int perHost = connectionsPerHost);
    // The runs that start at once, in order.
    std::vector<size_t> start();
    // The runs that start now that run has ended.
    std::vector<size_t> finished(size_t run);

private:
    struct Host {
        int running = 0;
        std::deque<size_t> waiting;
    };
    std::vector<std::string> hosts_;
    int perHost_;
    std::map<std::string, Host> byHost_;
};

// Runs work(i) for every run on a thread of its own, started as the queue allows; returns when
// all have ended.
void runQueued(const std::vector<std::string>& hosts, const std::function<void(size_t run)>& work);

} // namespace tempik::ctl
