// GenerateCharacter per call, the clock reseed included, as the Generate command calls it.
#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "Stats.h"
#include "model/modTarvock.h"

namespace {

void BM_GenerateCharacter(benchmark::State &state)
{
    for (auto _ : state) {
        // As the command does: the generator appends the name to an emptied Name.
        quelvane::CharacterRecord.Name.clear();
        quelvane::GenerateCharacter();
        benchmark::DoNotOptimize(quelvane::CharacterRecord);
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_GenerateCharacter)->Unit(benchmark::kNanosecond);

// Keeps the per-repetition times, so the row carries the median over repetitions.
class Collector final : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                nsPerCall.push_back(run.GetAdjustedRealTime());
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::vector<double> nsPerCall;
};

} // namespace

int main(int argc, char *argv[])
{
    // --out ROWS.tsv is ours; everything else goes to the benchmark library.
    std::string out;
    std::vector<char *> rest;
    for (int i = 0; i < argc; ++i) {
        if (!std::strcmp(argv[i], "--out") && i + 1 < argc)
            out = argv[++i];
        else
            rest.push_back(argv[i]);
    }
    int count = static_cast<int>(rest.size());
    benchmark::Initialize(&count, rest.data());
    if (benchmark::ReportUnrecognizedArguments(count, rest.data()))
        return 2;

    Collector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    if (collector.nsPerCall.empty())
        return 1;

    quelvane::bench::Row row{"GenerateCharacter", "Google Benchmark, ns per call, clock reseed included", "ns"};
    quelvane::bench::SetSamples(row, collector.nsPerCall);
    row.limit = 1000;
    if (!out.empty() && !quelvane::bench::AppendRow(out, row))
        return 1;
    return 0;
}
