#include "Stats.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace quelvane::bench {

double Percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    // Nearest rank: the smallest value with at least p percent of the samples at or below it.
    const double rank = std::ceil(p / 100.0 * static_cast<double>(values.size()));
    const size_t index = rank < 1 ? 0 : std::min(values.size(), static_cast<size_t>(rank)) - 1;
    return values[index];
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

bool Row::Met() const
{
    if (std::isnan(median) || std::isnan(limit))
        return false;
    if (kind == LimitKind::Ratio)
        return !std::isnan(baseline) && baseline > 0 && Ratio() <= limit;
    return median <= limit;
}

void SetSamples(Row &row, const std::vector<double> &samples)
{
    row.median = Median(samples);
    row.p90 = Percentile(samples, 90);
    row.reps = static_cast<int>(samples.size());
}

namespace {

std::string Clean(std::string text)
{
    std::replace_if(text.begin(), text.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    return text;
}

std::string Number(double value)
{
    if (std::isnan(value))
        return "-";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.6g", value);
    return buffer;
}

} // namespace

std::string ToLine(const Row &row)
{
    // name, how, unit, median, p90, reps, baseline, limit, kind, stretch
    std::string line = Clean(row.name);
    for (const std::string &field : {Clean(row.how), Clean(row.unit), Number(row.median), Number(row.p90),
                                     std::to_string(row.reps), Number(row.baseline), Number(row.limit),
                                     std::string(row.kind == LimitKind::Ratio ? "ratio" : "abs"),
                                     Number(row.stretch)}) {
        line += '\t';
        line += field;
    }
    return line;
}

bool AppendRow(const std::string &path, const Row &row)
{
    std::ofstream out(path, std::ios::app);
    out << ToLine(row) << '\n';
    return static_cast<bool>(out.flush());
}

} // namespace quelvane::bench
