#include "app/ctl/ctl_connection_queue.h"

#include "link/network_url.h"

#include <algorithm>
#include <cctype>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tempik::ctl {

std::string networkHostOf(const std::string& devicePath)
{
    const std::optional<NetworkAddress> address = parseNetworkUrl(devicePath);
    if (!address)
        return {};
    std::string host = address->host;
    std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
    return host;
}

ConnectionQueue::ConnectionQueue(std::vector<std::string> hosts, int perHost)
    : hosts_(std::move(hosts)), perHost_(perHost)
{
}

std::vector<size_t> ConnectionQueue::start()
{
    std::vector<size_t> now;
    for (size_t run = 0; run < hosts_.size(); ++run) {
        if (hosts_[run].empty()) {
            now.push_back(run);
            continue;
        }
        Host& host = byHost_[hosts_[run]];
        if (host.running < perHost_) {
            ++host.running;
            now.push_back(run);
        } else {
            host.waiting.push_back(run);
        }
    }
    return now;
}

std::vector<size_t> ConnectionQueue::finished(size_t run)
{
    if (hosts_[run].empty())
        return {};
    Host& host = byHost_[hosts_[run]];
    --host.running;
    if (host.waiting.empty())
        return {};
    const size_t next = host.waiting.front();
    host.waiting.pop_front();
    ++host.running;
    return {next};
}

void runQueued(const std::vector<std::string>& hosts, const std::function<void(size_t run)>& work)
{
    ConnectionQueue queue(hosts);
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<size_t> ended;
    std::vector<std::thread> threads(hosts.size());
    auto launch = [&](size_t run) {
        threads[run] = std::thread([&, run] {
            work(run);
            const std::lock_guard<std::mutex> lock(mutex);
            ended.push_back(run);
            changed.notify_one();
        });
    };
    for (size_t run : queue.start())
        launch(run);
    for (size_t done = 0; done < hosts.size(); ++done) {
        size_t run = 0;
        {
            std::unique_lock<std::mutex> lock(mutex);
            changed.wait(lock, [&] { return !ended.empty(); });
            run = ended.front();
            ended.pop_front();
        }
        for (size_t next : queue.finished(run))
            launch(next);
    }
    for (std::thread& thread : threads)
        thread.join();
}

} // namespace tempik::ctl
