// The queue of --all's runs: at most eight at once to one network host, the rest in port order.
#include "app/ctl/ctl_connection_queue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>

using namespace tempik::ctl;

namespace {

std::string listed(const std::vector<size_t>& runs)
{
    std::string text;
    for (size_t run : runs)
        text += " " + std::to_string(run);
    return text;
}

} // namespace

TEST(ConnectionQueue, EightRunsAtOnceToOneHostTheRestQueuedInOrder)
{
    std::vector<std::string> hosts;
    for (int run = 0; run < 12; ++run)   // one device server, however its name is written
        hosts.push_back(networkHostOf((run % 2 ? "rfc2217://Server:" : "socket://server:") + std::to_string(4001 + run)));
    hosts.push_back(networkHostOf("/dev/pts/3"));
    hosts.push_back(networkHostOf("socket://10.0.0.2:4001"));
    ConnectionQueue queue(hosts);
    std::string transcript = "start" + listed(queue.start());
    for (size_t run : {5, 12, 13, 0, 1, 8, 2, 3})
        transcript += " | " + std::to_string(run) + " ended:" + listed(queue.finished(run));
    EXPECT_EQ(transcript, "start 0 1 2 3 4 5 6 7 12 13 | 5 ended: 8 | 12 ended: | 13 ended: | 0 ended: 9 | "
                          "1 ended: 10 | 8 ended: 11 | 2 ended: | 3 ended:");
}

// The threads themselves: each run stays until eight are in (or no more will come), so that a
// ninth let in too early would be seen.
TEST(ConnectionQueue, RunQueuedRunsEachOnceNeverMoreThanEightToAHost)
{
    const std::vector<std::string> hosts(20, "server");
    std::mutex mutex;
    std::condition_variable changed;
    int inside = 0, most = 0, entered = 0;
    std::vector<int> runs(hosts.size(), 0);
    runQueued(hosts, [&](size_t run) {
        std::unique_lock<std::mutex> lock(mutex);
        ++runs[run];
        most = std::max(most, ++inside);
        ++entered;
        changed.notify_all();
        changed.wait_for(lock, std::chrono::seconds(10), [&] { return inside >= 8 || entered == 20; });
        --inside;
    });
    EXPECT_EQ(most, 8);
    EXPECT_EQ(runs, std::vector<int>(hosts.size(), 1));
}
