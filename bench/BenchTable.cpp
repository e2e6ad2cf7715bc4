#include "BenchTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace zarivok::bench {
namespace {

QString Number(double value) {
    if (value == 0) return QStringLiteral("-");
    const double magnitude = std::fabs(value);
    if (magnitude >= 100) return QString::number(value, 'f', 0);
    if (magnitude >= 10) return QString::number(value, 'f', 1);
    return QString::number(value, 'f', 2);
}

// Keeps the medians of the repeated runs; prints what the console reporter prints.
class MedianReporter : public benchmark::ConsoleReporter {
  public:
    std::map<std::string, double> medians;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            // A single repetition gives no aggregates: its one run is its median.
            const bool single = run.run_type == Run::RT_Iteration && Runs() == 1;
            if (!median && !single) continue;
            // The thread's CPU time: what one line costs on one core, whatever else the machine
            // runs meanwhile. Benchmarks that time themselves report it as their manual time.
            const bool manual = run.run_name.time_type == "manual_time";
            medians[run.run_name.str()] =
                (manual ? run.GetAdjustedRealTime() : run.GetAdjustedCPUTime()) /
                benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

}  // namespace

QString Ratio(const Row& row) {
    if (row.baseline == 0) return QStringLiteral("-");
    const double ratio = row.rate ? row.baseline / row.value : row.value / row.baseline;
    return QString::number(ratio, 'f', ratio >= 10 ? 0 : 2);
}

QString Verdict(bool met) { return met ? QStringLiteral("met") : QStringLiteral("MISSED"); }

void PrintRow(const Row& row) {
    const QString dash = QStringLiteral("-");
    const QStringList cells = {
        row.figure,
        Number(row.value) + u' ' + row.unit,
        row.baselineName.isEmpty() ? dash : row.baselineName,
        row.baseline == 0 ? dash : Number(row.baseline) + u' ' + row.unit,
        Ratio(row),
        row.target.isEmpty() ? dash : row.target,
        row.verdict.isEmpty() ? dash : row.verdict,
    };
    std::printf("%s\n", cells.join(u'\t').toUtf8().constData());
    std::fflush(stdout);
}

double Median(std::vector<double> values) { return Percentile(std::move(values), 50); }

double Percentile(std::vector<double> values, double p) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

int Runs() {
    const char* runs = std::getenv("ZARIVOK_BENCH_RUNS");
    const int n = runs ? std::atoi(runs) : 0;
    return n > 0 ? n : 5;
}

std::map<std::string, double> RunMedians(int argc, char** argv) {
    std::vector<std::string> flags(argv, argv + argc);
    flags.push_back("--benchmark_repetitions=" + std::to_string(Runs()));
    flags.push_back("--benchmark_report_aggregates_only=true");
    std::vector<char*> args;
    for (std::string& flag : flags) args.push_back(flag.data());
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    MedianReporter reporter;
    reporter.SetOutputStream(&std::cerr);
    reporter.SetErrorStream(&std::cerr);
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.medians;
}

}  // namespace zarivok::bench
