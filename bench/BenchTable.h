#pragma once

#include <benchmark/benchmark.h>

#include <QString>
#include <QStringList>
#include <map>
#include <string>
#include <vector>

namespace zarivok::bench {

// One row of the table that scripts/bench prints: a figure, the baseline it is read against
// (measured in the same run) and the target. Each program prints its rows as tab-separated
// lines; the script lines them up.
struct Row {
    QString figure;
    double value = 0;
    QString unit;
    QString baselineName;
    double baseline = 0;  // 0: no baseline
    QString target;
    // Empty: no target to meet.
    QString verdict;
    // A rate (lines per second): the table's ratio is then baseline / value, so that it always
    // reads as "times the baseline's cost".
    bool rate = false;
};

void PrintRow(const Row& row);
// The ratio as the table shows it: the figure's cost in units of the baseline's.
QString Ratio(const Row& row);
QString Verdict(bool met);

double Median(std::vector<double> values);
// p from 0 to 100, nearest rank.
double Percentile(std::vector<double> values, double p);

// How many times scripts/bench repeats each figure (ZARIVOK_BENCH_RUNS, 5 by default).
int Runs();

// Runs the registered Google benchmarks with each repeated Runs() times (extra flags from the
// command line pass through) and returns the median CPU seconds of the benchmark's thread per
// iteration by benchmark name (the manual time of those that time themselves); the usual
// console output goes to stderr.
std::map<std::string, double> RunMedians(int argc, char** argv);

}  // namespace zarivok::bench
