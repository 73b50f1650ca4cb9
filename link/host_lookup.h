#pragma once
// A name lookup bounded by a deadline: the system's resolver has time-outs of its own (seconds
// per name server, several tries) that the open's limit must not wait out. The lookup runs on a
// thread of its own; one still running at the deadline is left to finish alone and its answer
// dropped.
#include <chrono>
#include <future>
#include <memory>
#include <optional>
#include <thread>

namespace tempik {

template <typename Result, typename Work>
std::optional<Result> callWithin(Work work, std::chrono::nanoseconds limit)
{
    auto task = std::make_shared<std::packaged_task<Result()>>(std::move(work));
    std::future<Result> answer = task->get_future();
    std::thread([task] { (*task)(); }).detach();
    if (answer.wait_for(limit) != std::future_status::ready)
        return std::nullopt;
    return answer.get();
}

} // namespace tempik
