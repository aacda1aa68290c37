// The main window on a generated office of 200,000 houses and 100,000
// clients, logged in as admin: the show sequence until both lists are in and
// painted, a double-click on a region of the house tree, and the memory the
// window holds once shown, each against the same statements on the engine's
// own interface in the same run.

#include "AppConfig.h"
#include "BenchSupport.h"
#include "DataGrid.h"
#include "Database.h"
#include "GridModel.h"
#include "HouseListQuery.h"
#include "LoginService.h"
#include "MainWindow.h"
#include "Messages.h"
#include "RecordListPage.h"
#include "RecordPageConfig.h"
#include "TreeNodeItem.h"
#include "TreePath.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace QuellonBench;
using namespace Quellon;

namespace {

Database *g_dm = nullptr;
AppConfig *g_config = nullptr;
sqlite3 *g_raw = nullptr;
int g_messages = 0; // messages the window tried to show: none is expected
constexpr int Screen = 40; // rows of one screenful, as in the grid's benchmarks

// A second-level node of the demo's region tree (city, then district).
const QString Region = QStringLiteral("杭州市\\西湖区");

QString regionPath()
{
    return TreePath::rootPath() + Region;
}

LoginSession adminSession()
{
    return LoginService::loadState(*g_dm, QStringLiteral("admin"), {});
}

// The statement a page runs for a tree node with an empty search bar: taken
// from the page's own configuration, so that the raw side runs the very text.
SqlFragment listKeys(const RecordPageConfig &config, const QString &treePath)
{
    ListSearch search;
    search.field = 0;
    search.treePath = treePath;
    return config.listQuery(search, adminSession(), g_dm->dialect()).keysSql();
}

// The raw side: a statement with its bound values, every key read in order,
// then one screenful of rows of the table looked up by key and read as text.
qint64 rawKeysAndScreen(const SqlFragment &keysSql, const char *table, qint64 *keyCount = nullptr)
{
    sqlite3_stmt *stmt = nullptr;
    std::vector<qint64> keys;
    const QByteArray sql = keysSql.sql().toUtf8();
    if (sqlite3_prepare_v2(g_raw, sql.constData(), int(sql.size()), &stmt, nullptr) == SQLITE_OK) {
        int parameter = 0;
        for (const QVariant &value : keysSql.values()) {
            ++parameter;
            if (value.typeId() == QMetaType::Int || value.typeId() == QMetaType::LongLong) {
                sqlite3_bind_int64(stmt, parameter, value.toLongLong());
            } else {
                const QByteArray text = value.toString().toUtf8();
                sqlite3_bind_text(stmt, parameter, text.constData(), int(text.size()), SQLITE_TRANSIENT);
            }
        }
        while (sqlite3_step(stmt) == SQLITE_ROW)
            keys.push_back(sqlite3_column_int64(stmt, 0));
    } else {
        std::fprintf(stderr, "raw: %s\n", sqlite3_errmsg(g_raw));
    }
    sqlite3_finalize(stmt);
    if (keyCount)
        *keyCount = qint64(keys.size());
    std::string in;
    for (size_t i = 0; i < keys.size() && i < size_t(Screen); ++i)
        in += (i ? "," : "") + std::to_string(keys[i]);
    const std::string rows = std::string("select * from ") + table + " where F_ID in (" + in + ")";
    qint64 bytes = qint64(keys.size());
    if (sqlite3_prepare_v2(g_raw, rows.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
        while (sqlite3_step(stmt) == SQLITE_ROW)
            for (int column = 0; column < sqlite3_column_count(stmt); ++column) {
                sqlite3_column_text(stmt, column);
                bytes += sqlite3_column_bytes(stmt, column);
            }
    }
    sqlite3_finalize(stmt);
    return bytes;
}

// Resident pages of the database file's mappings (every connection that
// reads through a memory map has one), from /proc/self/smaps.
double databaseMappedMb()
{
    QFile smaps(QStringLiteral("/proc/self/smaps"));
    if (!smaps.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray file = Database::databaseFileName().toUtf8();
    double kb = 0;
    bool inDatabase = false;
    for (const QByteArray &line : smaps.readAll().split('\n')) {
        // A mapping's first line starts with its address range, "from-to".
        const int space = int(line.indexOf(' '));
        if (space > 0 && line.left(space).contains('-') && !line.startsWith("Rss")) {
            inDatabase = line.trimmed().endsWith("/" + file);
            continue;
        }
        if (inDatabase && line.startsWith("Rss:"))
            kb += line.mid(4).trimmed().split(' ').value(0).toDouble();
    }
    return kb / 1024.0;
}

GridModel *houseModel(const MainWindow &window)
{
    return window.housePage()->grid()->model();
}

GridModel *clientModel(const MainWindow &window)
{
    return window.clientPage()->grid()->model();
}

// Runs the event loop, without spinning, until both lists have their keys.
void waitForLists(const MainWindow &window)
{
    while (houseModel(window)->isLoading() || clientModel(window)->isLoading())
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
}

// Footer sums run on threads of their own; one left running would take one
// of the two cores from the next measurement.
void waitForFooters(const MainWindow &window)
{
    while (houseModel(window)->footerPending() || clientModel(window)->footerPending())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// The window as the user sees it, painted into an image.
int paintWindow(MainWindow &window)
{
    QImage image(window.size(), QImage::Format_ARGB32_Premultiplied);
    window.render(&image);
    return image.width();
}

// The client page sits on a hidden tab, which a tab switch would lay out at
// the house page's size and paint: the same is done here, into an image.
int paintClientPage(MainWindow &window)
{
    RecordListPage *client = window.clientPage();
    client->setGeometry(window.housePage()->geometry());
    QImage image(client->size(), QImage::Format_ARGB32_Premultiplied);
    client->render(&image);
    return image.width();
}

// Where the show sequence spends its time, in seconds from the login.
struct Steps
{
    double showCall = 0;   // applyLogin and show() returned: the pages' own work in showEvent
    double houseKeys = 0;  // the house keys are in and the model reset to them
    double clientKeys = 0;
    double windowPaint = 0; // the window painted (house page)
    double clientPaint = 0; // the client page painted
};

// From the login until both lists are in and their first screens painted.
double showSequence(MainWindow &window, Steps *steps = nullptr)
{
    Steps local;
    Steps &at = steps ? *steps : local;
    const LoginSession session = adminSession();
    const auto start = Stopwatch::now();
    const QMetaObject::Connection houseIn =
        QObject::connect(houseModel(window), &GridModel::reloaded, [&] { at.houseKeys = secondsSince(start); });
    const QMetaObject::Connection clientIn =
        QObject::connect(clientModel(window), &GridModel::reloaded, [&] { at.clientKeys = secondsSince(start); });
    window.applyLogin(session);
    window.show();
    at.showCall = secondsSince(start);
    waitForLists(window);
    benchmark::DoNotOptimize(paintWindow(window));
    at.windowPaint = secondsSince(start);
    benchmark::DoNotOptimize(paintClientPage(window));
    at.clientPaint = secondsSince(start);
    QObject::disconnect(houseIn);
    QObject::disconnect(clientIn);
    return at.clientPaint;
}

bool listsArePainted(const MainWindow &window)
{
    return houseModel(window)->rowCount() > 0 && clientModel(window)->rowCount() > 0
           && houseModel(window)->cachedChunks() > 0 && clientModel(window)->cachedChunks() > 0;
}

qint64 rawShowSequence(const SqlFragment &houseKeys, const SqlFragment &clientKeys)
{
    return rawKeysAndScreen(houseKeys, "House") + rawKeysAndScreen(clientKeys, "Client");
}

void showSequenceBench(benchmark::State &state)
{
    // Outside the raw side's time: building them reads the operator's login.
    const SqlFragment houseKeys = listKeys(RecordPageConfig::houses(), {});
    const SqlFragment clientKeys = listKeys(RecordPageConfig::clients(), {});
    Pair pair;
    Steps sum;
    double construct = 0;
    bool painted = true;
    for (auto _ : state) {
        // The window is built beforehand: the login dialog is on the screen meanwhile.
        const auto built = Stopwatch::now();
        auto window = std::make_unique<MainWindow>(*g_dm, *g_config);
        construct += secondsSince(built);
        Steps steps;
        const double seconds = showSequence(*window, &steps);
        painted = painted && listsArePainted(*window);
        state.SetIterationTime(seconds);
        pair.ours += seconds;
        sum.showCall += steps.showCall;
        sum.houseKeys += steps.houseKeys;
        sum.clientKeys += steps.clientKeys;
        sum.windowPaint += steps.windowPaint;
        sum.clientPaint += steps.clientPaint;
        waitForFooters(*window);
        state.counters["house_rows"] = houseModel(*window)->rowCount();
        state.counters["client_rows"] = clientModel(*window)->rowCount();
        window.reset();
        const auto rawStart = Stopwatch::now();
        benchmark::DoNotOptimize(rawShowSequence(houseKeys, clientKeys));
        pair.raw += secondsSince(rawStart);
        ++pair.runs;
    }
    report(state, "Main/show_sequence", pair);
    if (pair.runs > 0) {
        const double ms = 1e3 / double(pair.runs);
        state.counters["construct_ms"] = construct * ms;
        state.counters["show_call_ms"] = sum.showCall * ms;
        state.counters["house_keys_ms"] = sum.houseKeys * ms;
        state.counters["client_keys_ms"] = sum.clientKeys * ms;
        state.counters["window_paint_ms"] = sum.windowPaint * ms;
        state.counters["client_paint_ms"] = sum.clientPaint * ms;
    }
    if (!painted)
        state.SkipWithError("a list was empty or not painted");
}

QTreeWidgetItem *treeItemOfPath(QTreeWidget *tree, const QString &path)
{
    for (QTreeWidgetItemIterator it(tree); *it; ++it) {
        if (TreeNodeItem::data(*it).path == path)
            return *it;
    }
    return nullptr;
}

// A double-click on a tree node, as the tree reports it to the page.
void doubleClick(QTreeWidget *tree, QTreeWidgetItem *item)
{
    emit tree->itemDoubleClicked(item, 0);
}

// A double-click on a district while the whole list is shown, until the
// district's houses are in and painted.
void regionDoubleClick(benchmark::State &state)
{
    MainWindow window(*g_dm, *g_config);
    showSequence(window);
    waitForFooters(window);
    QTreeWidget *tree = window.housePage()->tree();
    QTreeWidgetItem *root = treeItemOfPath(tree, TreePath::rootPath());
    QTreeWidgetItem *region = treeItemOfPath(tree, regionPath());
    if (!root || !region) {
        state.SkipWithError("the region is not in the house tree");
        return;
    }
    const SqlFragment regionKeys = listKeys(RecordPageConfig::houses(), regionPath());
    qint64 rawRows = 0;
    rawKeysAndScreen(regionKeys, "House", &rawRows);
    Pair pair;
    bool same = true;
    double keysIn = 0; // seconds from the double-click until the keys were in, summed
    for (auto _ : state) {
        // Back to the whole list, outside the time measured.
        doubleClick(tree, root);
        waitForLists(window);
        paintWindow(window);
        waitForFooters(window);

        const auto start = Stopwatch::now();
        const QMetaObject::Connection in =
            QObject::connect(houseModel(window), &GridModel::reloaded, [&] { keysIn += secondsSince(start); });
        doubleClick(tree, region);
        waitForLists(window);
        QObject::disconnect(in);
        benchmark::DoNotOptimize(paintWindow(window));
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        pair.ours += seconds;
        same = same && houseModel(window)->rowCount() == rawRows;
        waitForFooters(window);

        const auto rawStart = Stopwatch::now();
        benchmark::DoNotOptimize(rawKeysAndScreen(regionKeys, "House"));
        pair.raw += secondsSince(rawStart);
        ++pair.runs;
    }
    report(state, "Main/region_double_click", pair);
    if (pair.runs > 0)
        state.counters["keys_ms"] = keysIn / double(pair.runs) * 1e3;
    state.counters["rows"] = houseModel(window)->rowCount();
    state.counters["raw_rows"] = double(rawRows);
    if (!same)
        state.SkipWithError("the window listed other houses than the statement");
}

// For comparison, both sides raw: the same district's houses when the page's
// filter is narrowed by a range of the (F_flag, F_area) index. The pattern
// alone no index serves, so the engine walks the (F_flag, F_code) index and
// reads every live house to test it; with the range it reads the district's
// entries of the area index and sorts their keys by code. Not a pair of the
// summary: it prints on a line of its own.
struct RangeFigures
{
    double range = 0;   // seconds, summed over the runs
    double pattern = 0;
    qint64 runs = 0;
};
RangeFigures g_range;

void regionByRange(benchmark::State &state)
{
    const QString path = regionPath();
    ListSearch search;
    search.field = 0;
    search.treePath = path;
    // '\' + 1 is ']': the node and every path below it sort in [path, path]).
    const SqlFragment range(QStringLiteral("F_area >= ? and F_area < ?"), {path, path + QStringLiteral("]")});
    GridQuery ranged(SqlFragment(QStringLiteral("select * from House"))
                         + SqlFragment::where(HouseListQuery::filter(search, adminSession(), g_dm->dialect()) && range),
                     QStringLiteral("F_code"));
    const SqlFragment rangeKeys = ranged.keysSql();
    const SqlFragment patternKeys = listKeys(RecordPageConfig::houses(), path);
    qint64 rangeRows = 0;
    qint64 patternRows = 0;
    rawKeysAndScreen(rangeKeys, "House", &rangeRows);
    rawKeysAndScreen(patternKeys, "House", &patternRows);
    for (auto _ : state) {
        auto start = Stopwatch::now();
        benchmark::DoNotOptimize(rawKeysAndScreen(rangeKeys, "House"));
        const double seconds = secondsSince(start);
        state.SetIterationTime(seconds);
        g_range.range += seconds;
        start = Stopwatch::now();
        benchmark::DoNotOptimize(rawKeysAndScreen(patternKeys, "House"));
        g_range.pattern += secondsSince(start);
        ++g_range.runs;
    }
    if (g_range.runs > 0) {
        state.counters["range_us"] = g_range.range / double(g_range.runs) * 1e6;
        state.counters["pattern_us"] = g_range.pattern / double(g_range.runs) * 1e6;
    }
    state.counters["rows"] = double(rangeRows);
    if (rangeRows != patternRows)
        state.SkipWithError("the range lists other houses than the pattern");
}

struct Memory
{
    double before = 0;   // resident before the window, with the database open
    double resident = 0; // after the show sequence, window open
    double anon = 0;
    double file = 0;
    double database = 0; // of which the database file's pages
    double atPaint = 0;  // resident when the lists were painted, sums still running
    bool measured = false;
};
Memory g_memory;

// Runs first, on a process that has shown no window yet: what the window
// holds once shown, sums done.
void memoryAfterShow(benchmark::State &state)
{
    for (auto _ : state) {
        g_memory.before = statusMb("VmRSS:");
        const double anonBefore = statusMb("RssAnon:");
        MainWindow window(*g_dm, *g_config);
        const double seconds = showSequence(window);
        g_memory.atPaint = statusMb("VmRSS:");
        waitForFooters(window);
        // What the paint engine and the rows leave once the event loop is idle.
        QCoreApplication::processEvents();
        state.SetIterationTime(seconds);
        g_memory.resident = statusMb("VmRSS:");
        g_memory.anon = statusMb("RssAnon:");
        g_memory.file = statusMb("RssFile:");
        g_memory.database = databaseMappedMb();
        g_memory.measured = true;
        state.counters["resident_mb"] = g_memory.resident;
        state.counters["anon_mb"] = g_memory.anon;
        state.counters["file_mb"] = g_memory.file;
        state.counters["database_mb"] = g_memory.database;
        state.counters["at_paint_mb"] = g_memory.atPaint;
        state.counters["before_mb"] = g_memory.before;
        state.counters["window_anon_mb"] = g_memory.anon - anonBefore;
    }
}

QtMessageHandler g_qtMessages = nullptr;

// The offscreen platform warns on every top-level window shown; the rest passes.
void quietHandler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.contains(QLatin1String("propagateSizeHints")))
        return;
    if (g_qtMessages)
        g_qtMessages(type, context, text);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    g_qtMessages = qInstallMessageHandler(quietHandler);
    // A message box would wait for a click nobody gives.
    setMessagePresenter([](const QString &text, MessageKind) {
        ++g_messages;
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        return int(AnswerNo);
    });

    // A configuration of its own: no automatic backup in the show sequence.
    QTemporaryDir configFolder;
    AppConfig config(configFolder.filePath(AppConfig::FileName));
    g_config = &config;
    Database dm;
    if (!openBenchDatabase(dm, &g_raw))
        return 1;
    g_dm = &dm;
    if (!adminSession().isValid()) {
        std::fprintf(stderr, "No admin in the benchmark database.\n");
        return 1;
    }

    benchmark::RegisterBenchmark("Main/memory_after_show", memoryAfterShow)
        ->Iterations(1)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("Main/show_sequence", showSequenceBench)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("Main/region_double_click", regionDoubleClick)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(2.0);
    benchmark::RegisterBenchmark("Main/region_by_range_raw", regionByRange)
        ->UseManualTime()
        ->Unit(benchmark::kMillisecond)
        ->MinTime(1.0);

    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    if (g_memory.measured)
        std::printf("  %-30s resident %.1f MB: anonymous %.1f MB, file pages %.1f MB of which the database %.1f MB;\n"
                    "  %-30s %.1f MB when the lists were painted, %.1f MB before the window\n",
                    "Main/memory_after_show", g_memory.resident, g_memory.anon, g_memory.file, g_memory.database, "",
                    g_memory.atPaint, g_memory.before);
    if (g_range.runs > 0)
        std::printf("  %-30s range %.3f ms   pattern (the page's statement) %.3f ms, both raw\n", "Main/region_by_range_raw",
                    g_range.range / double(g_range.runs) * 1e3, g_range.pattern / double(g_range.runs) * 1e3);
    if (g_messages > 0)
        std::printf("  The window showed %d message(s): see above.\n", g_messages);
    benchmark::Shutdown();
    sqlite3_close(g_raw);
    return g_messages > 0 ? 1 : 0;
}
