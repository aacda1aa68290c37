#include "BenchSupport.h"

#include "DemoDataGenerator.h"
#include "Database.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <sqlite3.h>

namespace QuellonBench {

using Quellon::DemoDataGenerator;
using Quellon::Database;

double secondsSince(Stopwatch::time_point start)
{
    return std::chrono::duration<double>(Stopwatch::now() - start).count();
}

std::map<std::string, Pair> &pairs()
{
    static std::map<std::string, Pair> all;
    return all;
}

void report(benchmark::State &state, const std::string &name, const Pair &pair)
{
    if (pair.runs == 0)
        return;
    state.counters["quellon_us"] = pair.ours / double(pair.runs) * 1e6;
    state.counters["raw_us"] = pair.raw / double(pair.runs) * 1e6;
    state.counters["ratio"] = pair.ours / pair.raw;
    pairs()[name] = pair;
}

bool createDemoDatabase(const QString &folder)
{
    Database dm;
    if (!dm.openDatabase(folder, true).ok())
        return false;
    DemoDataGenerator generator(dm, DemoSeed);
    const bool done = generator.generate(DemoHouses) == DemoDataGenerator::Result::Done;
    if (!done)
        std::fprintf(stderr, "%s\n", qPrintable(generator.errorText()));
    dm.closeDatabase();
    return done;
}

// The database the queries run on, made once and kept under the build folder.
// It is built beside its final name and moved into place, so an interrupted
// run never leaves a partial database to be measured next time.
QString benchDatabase()
{
    const QDir folder(QStringLiteral(QUELLON_BENCH_DATA));
    const QString file = folder.filePath(Database::databaseFileName());
    if (QFileInfo::exists(file))
        return file;
    QDir partial(folder.filePath(QStringLiteral("partial")));
    partial.removeRecursively();
    std::printf("Generating %d houses into %s ...\n", DemoHouses, qPrintable(file));
    const auto start = Stopwatch::now();
    if (!createDemoDatabase(partial.path())
        || !QFile::rename(partial.filePath(Database::databaseFileName()), file))
        return {};
    partial.removeRecursively();
    std::printf("Generated in %.1f s\n", secondsSince(start));
    return file;
}

void printSummary()
{
    std::printf("\nQuellon against raw SQLite, same statement, same run:\n");
    for (const auto &[name, pair] : pairs()) {
        const double ours = pair.ours / double(pair.runs);
        const double raw = pair.raw / double(pair.runs);
        const char *unit = ours >= 0.1 ? "s " : ours >= 1e-3 ? "ms" : "us";
        const double scale = ours >= 0.1 ? 1.0 : ours >= 1e-3 ? 1e3 : 1e6;
        std::printf("  %-30s Quellon %10.3f %s   raw %10.3f %s   ratio %5.2f\n", name.c_str(), ours * scale, unit,
                    raw * scale, unit, ours / raw);
    }
}

bool openBenchDatabase(Database &dm, sqlite3 **raw)
{
    const QString file = benchDatabase();
    if (file.isEmpty()) {
        std::fprintf(stderr, "The benchmark database could not be created.\n");
        return false;
    }
    if (!dm.openDatabase(QFileInfo(file).absolutePath(), false).ok()
        || sqlite3_open_v2(file.toUtf8().constData(), raw, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "Cannot open %s\n", qPrintable(file));
        return false;
    }
    return true;
}

// A line of /proc/self/status in megabytes: VmRSS counts the pages of the
// database file mapped for reading too, RssAnon only the program's own memory.
double statusMb(const char *key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toDouble() / 1024.0;
    }
    return 0;
}

} // namespace QuellonBench
