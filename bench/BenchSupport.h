#pragma once

// What the benchmark programs share: the cached demo database, a stopwatch,
// and the pairing of each measurement with its raw-SQLite baseline.

#include <QString>

struct sqlite3;
namespace Quellon {
class Database;
}
#include <benchmark/benchmark.h>

#include <chrono>
#include <map>
#include <string>

namespace QuellonBench {

using Stopwatch = std::chrono::steady_clock;

constexpr int DemoHouses = 200000;
constexpr quint64 DemoSeed = 1;

double secondsSince(Stopwatch::time_point start);

struct Pair
{
    double ours = 0; // seconds, summed over the runs
    double raw = 0;
    qint64 runs = 0;
};

// Per benchmark, for the summary after the run.
std::map<std::string, Pair> &pairs();
// Sets the counters of a benchmark and keeps the pair for the summary.
void report(benchmark::State &state, const std::string &name, const Pair &pair);
// One line per pair with both absolute times and the ratio.
void printSummary();

bool createDemoDatabase(const QString &folder);
// Opens the 200,000-house database (generating it on the first run) through
// the program's service and, read-only, through the engine's own interface.
// Prints why and returns false when either fails.
bool openBenchDatabase(Quellon::Database &dm, sqlite3 **raw);
// The 200,000-house database, generated on the first run and kept.
QString benchDatabase();

// A line of /proc/self/status in megabytes ("VmRSS:", "RssAnon:"): VmRSS
// counts the pages of the database file mapped for reading too, RssAnon only
// the program's own memory.
double statusMb(const char *key);

} // namespace QuellonBench
