// The program's data access against the same statements on the engine's own
// interface, in the same run, on a generated office of 200,000 houses.

#include "BenchSupport.h"
#include "DemoDataGenerator.h"
#include "CodeNumbering.h"
#include "Database.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <string>

namespace {

using namespace QuellonBench;
using Quellon::DemoDataGenerator;
using Quellon::CodeNumbering;
using Quellon::Database;
using Quellon::SqlFragment;
Database *g_dm = nullptr;
sqlite3 *g_raw = nullptr;

// ---------------------------------------------------------------- the raw side

qint64 rawInt(const char *sql)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 value = -1;
    if (sqlite3_prepare_v2(g_raw, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
        value = sqlite3_column_int64(stmt, 0);
    sqlite3_finalize(stmt);
    return value;
}

std::string rawText(const char *sql, const char *bound = nullptr)
{
    sqlite3_stmt *stmt = nullptr;
    std::string value;
    if (sqlite3_prepare_v2(g_raw, sql, -1, &stmt, nullptr) == SQLITE_OK) {
        if (bound)
            sqlite3_bind_text(stmt, 1, bound, -1, SQLITE_STATIC);
        if (sqlite3_step(stmt) == SQLITE_ROW) {
            const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0));
            value.assign(text ? text : "", size_t(sqlite3_column_bytes(stmt, 0)));
        }
    }
    sqlite3_finalize(stmt);
    return value;
}

bool same(qint64 ours, qint64 raw)
{
    return ours == raw && raw >= 0;
}

bool same(const QString &ours, const std::string &raw)
{
    return ours == QString::fromStdString(raw) && !raw.empty();
}

bool same(const QString &ours, const QString &raw)
{
    return ours == raw && !raw.isEmpty();
}

// Both calls run in turn within one iteration, so that they meet the same
// caches; the benchmark's own time is the program's.
template<typename Ours, typename Raw>
void registerPair(const char *name, Ours ours, Raw raw)
{
    benchmark::RegisterBenchmark(name, [=](benchmark::State &state) {
        Pair pair;
        for (auto _ : state) {
            const auto start = Stopwatch::now();
            const auto ourValue = ours();
            const double ourSeconds = secondsSince(start);
            const auto rawStart = Stopwatch::now();
            const auto rawValue = raw();
            pair.raw += secondsSince(rawStart);
            if (!same(ourValue, rawValue)) {
                state.SkipWithError("the two paths disagree or found nothing");
                return;
            }
            state.SetIterationTime(ourSeconds);
            pair.ours += ourSeconds;
            ++pair.runs;
        }
        report(state, name, pair);
    })->UseManualTime()->Unit(benchmark::kMicrosecond);
}

// The floor for creating the demo database: the engine copying the same rows
// from the finished file into a new database with the same schema.
bool copyRows(const QString &target, const QString &source)
{
    sqlite3 *db = nullptr;
    const QString script = QStringLiteral(
        "PRAGMA synchronous=FULL; ATTACH '%1' AS src; BEGIN IMMEDIATE;"
        " insert into House select * from src.House; insert into Client select * from src.Client;"
        " insert into T_gjREC select * from src.T_gjREC; insert into T_KHgjREC select * from src.T_KHgjREC;"
        " insert into T_cjREC select * from src.T_cjREC; insert into T_FYcltLink select * from src.T_FYcltLink;"
        " insert into t_treecode select * from src.t_treecode;"
        " insert into t_code(F_type, F_Name) select F_type, F_Name from src.t_code"
        "   where F_type in ('empname', 'cjempname');"
        " COMMIT; DETACH src;")
                               .arg(QString(source).replace(QLatin1Char('\''), QStringLiteral("''")));
    bool ok = sqlite3_open_v2(target.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK
              && sqlite3_exec(db, script.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
    if (!ok)
        std::fprintf(stderr, "copy failed: %s\n", sqlite3_errmsg(db));
    sqlite3_close(db);
    return ok;
}

void createDemo(benchmark::State &state, const QString &cached)
{
    Pair pair;
    for (auto _ : state) {
        QTemporaryDir ourFolder;
        QTemporaryDir rawFolder;
        const auto start = Stopwatch::now();
        if (!createDemoDatabase(ourFolder.path())) {
            state.SkipWithError("the demo database could not be created");
            return;
        }
        const double ourSeconds = secondsSince(start);
        {
            Database schemaOnly;
            if (!schemaOnly.openDatabase(rawFolder.path(), true).ok()) {
                state.SkipWithError("no database for the copy");
                return;
            }
        }
        const auto rawStart = Stopwatch::now();
        if (!copyRows(QDir(rawFolder.path()).filePath(Database::databaseFileName()), cached)) {
            state.SkipWithError("the copy failed");
            return;
        }
        pair.raw += secondsSince(rawStart);
        state.SetIterationTime(ourSeconds);
        pair.ours += ourSeconds;
        ++pair.runs;
    }
    report(state, "CreateDemo/200000", pair);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    // The SQL drivers are plugins, found through the application object.
    QCoreApplication app(argc, argv);

    Database dm;
    if (!openBenchDatabase(dm, &g_raw))
        return 1;
    g_dm = &dm;

    registerPair(
        "queryInt/count_live",
        [] { return g_dm->queryInt(QStringLiteral("select count(*) from House where F_flag=0")); },
        [] { return rawInt("select count(*) from House where F_flag=0"); });
    registerPair(
        "queryInt/max_mainid", [] { return g_dm->queryInt(QStringLiteral("select max(F_mainID) from House")); },
        [] { return rawInt("select max(F_mainID) from House"); });
    // The code in the middle of the table; as literal text, and bound as a parameter.
    registerPair(
        "queryText/name_by_code",
        [] { return g_dm->queryText(QStringLiteral("select F_name from House where F_code = '00100000'")); },
        [] { return rawText("select F_name from House where F_code = '00100000'"); });
    registerPair(
        "queryText/name_by_code_bound",
        [] {
            return g_dm->queryText(QStringLiteral("select F_name from House where F_code = :code"),
                                   {{QStringLiteral(":code"), QStringLiteral("00100000")}});
        },
        [] { return rawText("select F_name from House where F_code = ?", "00100000"); });
    registerPair(
        "NextCode/house",
        [] { return CodeNumbering(*g_dm).next(SqlFragment(QStringLiteral("select Max(F_code) as F_code from House ")), 8); },
        [] {
            const std::string max = rawText("select Max(F_code) as F_code from House ");
            return CodeNumbering::after(QString::fromStdString(max), 8);
        });
    benchmark::RegisterBenchmark("CreateDemo/200000", createDemo, benchDatabase())
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kSecond);

    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    sqlite3_close(g_raw);
    return 0;
}
