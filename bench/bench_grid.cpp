// The house grid on a generated office of 200,000 houses: first rows, a sort
// by an unindexed column, typing search, a search by address run without
// waiting, footer sum and the memory a list of every house costs, each
// against the same statement on the engine's own interface in the same run.

#include "BenchSupport.h"
#include "DataGrid.h"
#include "GridModel.h"
#include "Database.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTableView>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

using namespace QuellonBench;
using namespace Quellon;

namespace {

Database *g_dm = nullptr;
sqlite3 *g_raw = nullptr;
constexpr int Screen = 40; // rows of one screenful

const QString HouseList = QStringLiteral("select * from House where (F_flag=0) ");

GridQuery houseQuery()
{
    GridQuery query(SqlFragment(HouseList), QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    return query;
}

GridColumns houseColumns()
{
    const char *fields[] = {"F_code",    "F_name",     "F_area",      "F_FWtype", "F_FWhtype", "F_louceng",
                            "F_jzMianji", "F_JYtype",  "F_zuPrice",   "F_salePrice", "F_dprice2", "F_xqName",
                            "F_FYaddress", "F_LXempName", "F_LXphone", "F_status",  "F_Laiyuan", "F_EmpName",
                            "F_editDate", "F_memo3"};
    GridColumns columns;
    for (const char *f : fields) {
        GridColumn c;
        c.field = QString::fromLatin1(f);
        c.caption = c.field;
        if (c.field == QLatin1String("F_salePrice"))
            c.footer = GridColumn::FooterSum;
        if (c.field == QLatin1String("F_editDate"))
            c.displayFormat = QStringLiteral("yyyy-mm-dd");
        columns << c;
    }
    return columns;
}

// What a view asks for one screenful: every cell of the first rows, as text.
qint64 readScreen(const GridModel &model)
{
    qint64 chars = 0;
    for (int row = 0; row < Screen && row < model.rowCount(); ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            chars += model.data(model.index(row, column)).toString().size();
    return chars;
}

// The raw side: the same statement, its first screenful read as text.
qint64 rawScreen(const char *sql, int rows = Screen)
{
    sqlite3_stmt *stmt = nullptr;
    qint64 bytes = 0;
    if (sqlite3_prepare_v2(g_raw, sql, -1, &stmt, nullptr) == SQLITE_OK) {
        for (int row = 0; row < rows && sqlite3_step(stmt) == SQLITE_ROW; ++row)
            for (int column = 0; column < sqlite3_column_count(stmt); ++column) {
                sqlite3_column_text(stmt, column);
                bytes += sqlite3_column_bytes(stmt, column);
            }
    }
    sqlite3_finalize(stmt);
    return bytes;
}

// The raw side of opening a list the way the grid does: every key of the
// statement in order, then one screenful of rows looked up by key.
qint64 rawKeysAndScreen(const char *keysSql)
{
    sqlite3_stmt *stmt = nullptr;
    std::vector<qint64> keys;
    if (sqlite3_prepare_v2(g_raw, keysSql, -1, &stmt, nullptr) == SQLITE_OK)
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
    sqlite3_finalize(stmt);
    std::string in;
    for (size_t i = 0; i < keys.size() && i < size_t(Screen); ++i)
        in += (i ? "," : "") + std::to_string(keys[i]);
    const std::string rows = "select * from House where F_ID in (" + in + ")";
    return qint64(keys.size()) + rawScreen(rows.c_str());
}

// The house list narrowed to the houses whose address contains a fragment, as
// a search box of the main window asks for it.
GridQuery addressSearch(const QString &fragment)
{
    GridQuery query(SqlFragment(HouseList) + SqlFragment(QStringLiteral(" and "))
                        + g_dm->dialect().contains(QStringLiteral("F_FYaddress"), fragment),
                    QStringLiteral("F_code"));
    query.setRowTable(QStringLiteral("House"));
    return query;
}

// The raw side of a statement with bound text values: every key in order, then
// one screenful of rows looked up by key.
qint64 rawBoundKeysAndScreen(const SqlFragment &keysSql, qint64 *keyCount = nullptr)
{
    sqlite3_stmt *stmt = nullptr;
    std::vector<qint64> keys;
    const QByteArray sql = keysSql.sql().toUtf8();
    if (sqlite3_prepare_v2(g_raw, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        int parameter = 0;
        for (const QVariant &value : keysSql.values()) {
            const QByteArray text = value.toString().toUtf8();
            sqlite3_bind_text(stmt, ++parameter, text.constData(), int(text.size()), SQLITE_TRANSIENT);
        }
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
    }
    sqlite3_finalize(stmt);
    if (keyCount)
        *keyCount = qint64(keys.size());
    std::string in;
    for (size_t i = 0; i < keys.size() && i < size_t(Screen); ++i)
        in += (i ? "," : "") + std::to_string(keys[i]);
    const std::string rows = "select * from House where F_ID in (" + in + ")";
    return qint64(keys.size()) + rawScreen(rows.c_str());
}

// Runs the event loop, without spinning, until the grid's requested keys are in.
void waitForKeys(const GridModel &model)
{
    while (model.isLoading())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Lets the footer sum of the list shown finish outside the time measured: it
// would otherwise take one of the two cores from the next measurement.
void waitForFooter(const GridModel &model)
{
    while (model.footerPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

double residentMb()
{
    return statusMb("RssAnon:");
}

// Each run of ours() against a run of raw(); ours() returns the seconds of the
// work that counts.
template<typename Ours, typename Raw>
void measureTimed(benchmark::State &state, const std::string &name, Ours ours, Raw raw)
{
    Pair pair;
    for (auto _ : state) {
        const double seconds = ours();
        const auto rawStart = Stopwatch::now();
        benchmark::DoNotOptimize(raw());
        pair.raw += secondsSince(rawStart);
        state.SetIterationTime(seconds);
        pair.ours += seconds;
        ++pair.runs;
    }
    report(state, name, pair);
}

template<typename Ours, typename Raw>
void measure(benchmark::State &state, const std::string &name, Ours ours, Raw raw)
{
    measureTimed(
        state, name,
        [&ours] {
            const auto start = Stopwatch::now();
            benchmark::DoNotOptimize(ours());
            return secondsSince(start);
        },
        raw);
}

void firstRows(benchmark::State &state)
{
    measure(
        state, "Grid/first_rows",
        [] {
            GridModel model(*g_dm);
            model.setColumns(houseColumns());
            model.setQuery(houseQuery());
            return readScreen(model);
        },
        [] { return rawKeysAndScreen("select F_ID from House where (F_flag=0) order by F_code, F_ID"); });
}

// What a program that pages with the statement itself pays for its first
// screen: the floor no list of known length can beat.
void naiveScreen(benchmark::State &state)
{
    measure(
        state, "Grid/naive_first_screen", [] { return rawScreen("select * from House where (F_flag=0) order by F_code"); },
        [] { return rawScreen("select * from House where (F_flag=0) order by F_code"); });
}

void firstPaint(benchmark::State &state)
{
    measure(
        state, "Grid/first_paint",
        [] {
            DataGrid grid(*g_dm);
            grid.resize(1024, 700);
            grid.setColumns(houseColumns());
            grid.setQuery(houseQuery());
            return grid.grab().width();
        },
        [] { return rawKeysAndScreen("select F_ID from House where (F_flag=0) order by F_code, F_ID"); });
}

void sortByPrice(benchmark::State &state)
{
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    bool descending = true;
    measure(
        state, "Grid/sort_unindexed",
        [&] {
            // A title click: the other direction each time, as a user clicks.
            model.setSort({{QStringLiteral("F_salePrice"), !descending}});
            descending = !descending;
            return readScreen(model);
        },
        [] { return rawKeysAndScreen("select F_ID from House where (F_flag=0) order by F_salePrice desc, F_ID desc"); });
}

void sortByCode(benchmark::State &state)
{
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    measure(
        state, "Grid/sort_indexed",
        [&] {
            model.setSort({{QStringLiteral("F_code"), false}});
            return readScreen(model);
        },
        [] { return rawKeysAndScreen("select F_ID from House where (F_flag=0) order by F_code desc, F_ID desc"); });
}

void search(benchmark::State &state)
{
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    const QString prefix = model.value(model.rowCount() / 2, 1).toString().left(3);
    const std::string like = "select F_ID from House where (F_flag=0) and F_name like '" + prefix.toStdString()
                             + "%' order by F_code limit 1";
    measure(
        state, "Grid/search", [&] { return model.findPrefix(1, prefix); },
        [&] { return rawScreen(like.c_str(), 1); });
}

void footerSum(benchmark::State &state)
{
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    measure(
        state, "Grid/footer_sum",
        [&] {
            model.refreshFooter();
            while (model.footerPending())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            return model.footerText(9).size();
        },
        [] { return rawScreen("select sum(F_salePrice) from House where (F_flag=0)", 1); });
}

// A sum overtaken by a newer request (rows changed while it ran): the newer
// figure should come after about one sum, the first one having stopped where
// it was rather than run to its end. Timed from the newer request.
void footerSumOvertaken(benchmark::State &state)
{
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    while (model.footerPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    measureTimed(
        state, "Grid/footer_sum_overtaken",
        [&] {
            model.refreshFooter();
            // Long enough for the first sum to be well into its scan.
            const auto overtaken = Stopwatch::now() + std::chrono::milliseconds(20);
            while (Stopwatch::now() < overtaken)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            const auto start = Stopwatch::now();
            model.refreshFooter();
            while (model.footerPending())
                QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            return secondsSince(start);
        },
        [] { return rawScreen("select sum(F_salePrice) from House where (F_flag=0)", 1); });
}

// Typing a two-character address fragment into a search: the request leaves,
// the keys are read on the model's thread, the grid is reset and painted.
// Timed from the request until the first rows are painted.
void containsFirstPaint(benchmark::State &state)
{
    DataGrid grid(*g_dm);
    grid.resize(1024, 700);
    grid.setColumns(houseColumns());
    grid.setQuery(houseQuery());
    grid.grab();
    const GridQuery search = addressSearch(QStringLiteral("中山"));
    qint64 rawRows = 0;
    rawBoundKeysAndScreen(search.keysSql(), &rawRows);
    double requestCall = 0; // what the user-interface thread spends on the request itself
    int runs = 0;
    measureTimed(
        state, "Grid/contains_first_paint",
        [&] {
            waitForFooter(*grid.model());
            const auto start = Stopwatch::now();
            grid.requestQuery(search);
            requestCall += secondsSince(start);
            ++runs;
            waitForKeys(*grid.model());
            benchmark::DoNotOptimize(grid.grab().width());
            return secondsSince(start);
        },
        [&] { return rawBoundKeysAndScreen(search.keysSql()); });
    state.counters["request_call_us"] = runs ? requestCall / runs * 1e6 : 0;
    state.counters["rows"] = grid.model()->rowCount();
    state.counters["raw_rows"] = double(rawRows);
}

// A search typed one character after the other, 30 ms apart: five requests,
// each overtaking the one before while it reads. Only the last one's keys may
// arrive; timed from the last request until its first rows are painted (what
// the user waits for once he stops typing), the whole burst in a counter.
void requestBurst(benchmark::State &state)
{
    DataGrid grid(*g_dm);
    grid.resize(1024, 700);
    grid.setColumns(houseColumns());
    grid.setQuery(houseQuery());
    grid.grab();
    const QString typed = QStringLiteral("中山路106");
    QList<GridQuery> searches;
    for (int length = typed.size() - 4; length <= typed.size(); ++length)
        searches << addressSearch(typed.left(length));
    int reloads = 0;
    QObject::connect(grid.model(), &GridModel::reloaded, [&reloads] { ++reloads; });
    double whole = 0;
    int runs = 0;
    bool onlyLast = true;
    qint64 rawRows = 0;
    rawBoundKeysAndScreen(searches.constLast().keysSql(), &rawRows);
    measureTimed(
        state, "Grid/request_burst",
        [&] {
            waitForFooter(*grid.model());
            reloads = 0;
            const auto first = Stopwatch::now();
            for (int i = 0; i + 1 < searches.size(); ++i) {
                grid.requestQuery(searches.at(i));
                const auto next = Stopwatch::now() + std::chrono::milliseconds(30);
                while (Stopwatch::now() < next)
                    QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            }
            const auto last = Stopwatch::now();
            grid.requestQuery(searches.constLast());
            waitForKeys(*grid.model());
            benchmark::DoNotOptimize(grid.grab().width());
            const double seconds = secondsSince(last);
            whole += secondsSince(first);
            ++runs;
            onlyLast = onlyLast && reloads == 1 && grid.model()->rowCount() == rawRows;
            return seconds;
        },
        [&] { return rawBoundKeysAndScreen(searches.constLast().keysSql()); });
    state.counters["burst_ms"] = runs ? whole / runs * 1e3 : 0;
    state.counters["rows"] = grid.model()->rowCount();
    state.counters["only_last_arrived"] = onlyLast ? 1 : 0;
    if (!onlyLast)
        state.SkipWithError("keys of an overtaken request arrived");
}

// The list run again with the current row near its end, which the grid finds
// again by its key. The counters give the first three lookups by key after
// the keys were read (the first scans them, the second fills a table).
void refreshKeepsCurrent(benchmark::State &state)
{
    DataGrid grid(*g_dm);
    grid.resize(1024, 700);
    grid.setColumns(houseColumns());
    grid.setQuery(houseQuery());
    grid.setCurrentKey(grid.model()->keyAt(grid.model()->rowCount() - 10));
    const qint64 key = grid.currentKey();
    measure(
        state, "Grid/refresh_current",
        [&] {
            grid.refresh();
            return grid.grab().width() + grid.currentRow();
        },
        [] { return rawKeysAndScreen("select F_ID from House where (F_flag=0) order by F_code, F_ID"); });
    GridModel model(*g_dm);
    model.setColumns(houseColumns());
    model.setQuery(houseQuery());
    for (const char *counter : {"lookup1_us", "lookup2_us", "lookup3_us"}) {
        const auto start = Stopwatch::now();
        benchmark::DoNotOptimize(model.rowOfKey(key));
        state.counters[counter] = secondsSince(start) * 1e6;
    }
}

// Every row made reachable and then actually visited, chunk by chunk; the
// memory it leaves held is the grid's cost of a list of every house.
void scrollAll(benchmark::State &state)
{
    for (auto _ : state) {
        const double before = residentMb();
        GridModel model(*g_dm);
        model.setColumns(houseColumns());
        const auto start = Stopwatch::now();
        model.setQuery(houseQuery());
        for (int row = 0; row < model.rowCount(); row += 256)
            benchmark::DoNotOptimize(model.data(model.index(row, 1)));
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        const auto rawStart = Stopwatch::now();
        const qint64 bytes = rawScreen("select * from House where (F_flag=0) order by F_code", 1 << 30);
        benchmark::DoNotOptimize(bytes);
        Pair pair{seconds, secondsSince(rawStart), 1};
        report(state, "Grid/scroll_all", pair);
        state.counters["rows"] = model.rowCount();
        state.counters["held_mb"] = residentMb() - before;
        state.counters["anon_mb"] = residentMb();
        state.counters["resident_mb"] = statusMb("VmRSS:");
    }
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    Database dm;
    if (!openBenchDatabase(dm, &g_raw))
        return 1;
    g_dm = &dm;
    for (const auto &[name, fn] : std::initializer_list<std::pair<const char *, void (*)(benchmark::State &)>>{
             {"Grid/first_rows", firstRows},
             {"Grid/naive_first_screen", naiveScreen},
             {"Grid/first_paint", firstPaint},
             {"Grid/sort_unindexed", sortByPrice},
             {"Grid/sort_indexed", sortByCode},
             {"Grid/search", search},
             {"Grid/contains_first_paint", containsFirstPaint},
             {"Grid/request_burst", requestBurst},
             {"Grid/footer_sum", footerSum},
             {"Grid/footer_sum_overtaken", footerSumOvertaken},
             {"Grid/refresh_current", refreshKeepsCurrent}})
        benchmark::RegisterBenchmark(name, fn)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
    benchmark::RegisterBenchmark("Grid/scroll_all", scrollAll)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);

    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    sqlite3_close(g_raw);
    return 0;
}
