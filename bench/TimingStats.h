// What the timing benchmarks report of a list of measurements: percentiles, and for messages
// against their schedule the whole set of lateness figures.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

inline double Mean(const std::vector<double>& arr)
{
    double f = 0;
    for (double x : arr)
        f += x;
    return f / static_cast<double>(arr.size());
}

inline double Percentile(std::vector<double> arr, double fWhich)
{
    std::sort(arr.begin(), arr.end());
    return arr[std::min(arr.size() - 1, static_cast<size_t>(fWhich * static_cast<double>(arr.size())))];
}

// arrLateUs: each message's lateness against its schedule, in microseconds, in sending order
// (the last one is the drift at the end).
inline void ReportLateness(benchmark::State& state, const std::vector<double>& arrLateUs, double fLengthS)
{
    state.counters["median_us"] = Percentile(arrLateUs, 0.5);
    state.counters["p99_us"] = Percentile(arrLateUs, 0.99);
    state.counters["max_us"] = *std::max_element(arrLateUs.begin(), arrLateUs.end());
    state.counters["min_us"] = *std::min_element(arrLateUs.begin(), arrLateUs.end());
    state.counters["drift_end_us"] = arrLateUs.back();
    state.counters["over_1ms"] = static_cast<double>(
        std::count_if(arrLateUs.begin(), arrLateUs.end(), [](double f) { return f > 1000; }));
    state.counters["length_s"] = fLengthS;
}
