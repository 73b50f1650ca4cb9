#pragma once
// What the benchmarks have in common: a series of timings with its median, and the one line per
// figure that bench/run.sh gathers into its table.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace tempik::bench {

using Steady = std::chrono::steady_clock;

inline double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

struct Series {
    std::vector<double> values;
    void add(double v) { values.push_back(v); }
    double median() const
    {
        std::vector<double> sorted = values;
        std::sort(sorted.begin(), sorted.end());
        return sorted[sorted.size() / 2];
    }
    double max() const { return *std::max_element(values.begin(), values.end()); }
};

// "figure|name|measured|unit|floor|target|what the floor is", floor 0 when the figure has none
// (its target is then a bound of its own). A ratio to the floor is what the target constrains.
inline void printFigure(const std::string& name, double measured, const std::string& unit, double floor,
                        const std::string& target, const std::string& floorIs)
{
    std::printf("figure|%s|%.3f|%s|%.3f|%s|%s\n", name.c_str(), measured, unit.c_str(), floor, target.c_str(),
                floorIs.c_str());
    std::fflush(stdout);
}

// Time on the line of a frame of n bytes at bitsPerSecond with 11 bits a byte (start, 8 data,
// parity, stop). A pseudo-terminal has no baud-rate clock and sends in no time at all.
inline double transmissionMs(size_t bytes, double bitsPerSecond)
{
    return static_cast<double>(bytes) * 11.0 * 1000.0 / bitsPerSecond;
}

} // namespace tempik::bench
