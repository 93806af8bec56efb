// Figures shared by the benchmark tools: medians, percentiles, and the one row format that
// every tool appends to and the report turns into the table and the JSON.
#pragma once

#include <cmath>
#include <string>
#include <vector>

namespace quelvane::bench {

// Nearest-rank percentile (p in [0, 100]) of the values; NaN when there are none.
double Percentile(std::vector<double> values, double p);
double Median(std::vector<double> values);

enum class LimitKind {
    Absolute, // the median itself must not exceed the limit
    Ratio, // the median over the baseline must not exceed the limit
};

struct Row {
    std::string name;
    std::string how;
    std::string unit;
    double median = NAN;
    double p90 = NAN;
    int reps = 0;
    double baseline = NAN; // median of the baseline, measured in the same run
    double limit = NAN;
    LimitKind kind = LimitKind::Absolute;
    double stretch = NAN; // a tighter absolute figure worth reaching, if any

    double Ratio() const { return median / baseline; }
    bool Met() const;
};

// Fills median, p90 and reps from the samples.
void SetSamples(Row &row, const std::vector<double> &samples);

// One tab-separated line; tabs and newlines inside texts become blanks.
std::string ToLine(const Row &row);
// Appends the row's line to the file; false when it cannot be written.
bool AppendRow(const std::string &path, const Row &row);

} // namespace quelvane::bench
