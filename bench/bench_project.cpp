// Speed of the record walker and of the playing-time sum on large projects, in bytes per second.
#include "project/ProjectFormat.h"
#include "project/ProjectPlayer.h"

#include <benchmark/benchmark.h>

namespace
{
std::vector<uint8_t> MakeProject(int nVersion, int64_t nRecords)
{
    std::vector<uint8_t> p = MakeHeader(nVersion);
    for (int64_t i = 0; i < nRecords; i += 2)
    {
        int32_t nDelay = static_cast<int32_t>(i % 700); // one- and two-byte delays
        uint8_t nNote = static_cast<uint8_t>(36 + i % 48);
        if (nVersion == 0)
        {
            AppendNoteOnRecord(p, nDelay, 48, static_cast<uint8_t>(nNote - 36), 100, 0);
            AppendNoteOffRecord(p, nDelay + 1, 48, static_cast<uint8_t>(nNote - 36), 0);
        }
        else
        {
            AppendEventRecord(p, nDelay, 0x640090u | (nNote << 8));
            AppendEventRecord(p, nDelay + 1, 0x80u | (nNote << 8));
        }
    }
    return p;
}

void BM_Walk(benchmark::State& state)
{
    auto project = MakeProject(static_cast<int>(state.range(0)), state.range(1));
    std::span<const uint8_t> stream(project.data() + kHeaderSize, project.size() - kHeaderSize);
    for (auto _ : state)
    {
        int64_t nSum = 0;
        WalkRecords(static_cast<int>(state.range(0)), stream,
                    [&](const SRecord& r)
                    {
                        nSum += r.nDelay;
                        return true;
                    });
        benchmark::DoNotOptimize(nSum);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(project.size()));
    state.counters["records"] = static_cast<double>(state.range(1));
}

void BM_ComputeTotal(benchmark::State& state)
{
    auto project = MakeProject(static_cast<int>(state.range(0)), state.range(1));
    CStderrPrompter prompter;
    CProjectPlayer player(prompter);
    player.SetData(project);
    for (auto _ : state)
    {
        player.ComputeTotal();
        benchmark::DoNotOptimize(player.m_nTotal);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(project.size()));
    state.counters["records"] = static_cast<double>(state.range(1));
}
} // namespace

// Versions 0.0 and 0.1, a hundred thousand and a million records: the rate should not fall with size.
BENCHMARK(BM_Walk)->ArgsProduct({{0, 1}, {100000, 1000000}})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ComputeTotal)->ArgsProduct({{0, 1}, {100000, 1000000}})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
