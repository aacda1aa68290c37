#pragma once

#include "SqlFragment.h"
#include "WorkerConnection.h"

#include <QObject>
#include <QStringList>
#include <QVariantList>

#include <atomic>
#include <functional>

struct sqlite3;

namespace Quellon {

// Works out a grid's footer sums on the thread it was moved to, over a
// connection of its own: a connection belongs to the thread that opened it,
// and a sum reads every row of the list, which must not hold up the user.
// The connection stays open from one request to the next and is closed when
// the worker is destroyed on its thread, or when asked.
//
// Only the newest request counts. One that a newer request overtakes before
// it starts is skipped; one that is running stops at the engine's next
// progress callback. Neither reports anything.
class FooterSumWorker : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        quint64 token = 0;
        QString source;      // connection to clone
        QStringList setup;   // statements every new connection runs
        SqlFragment sql;     // one row, one sum a column
        int columns = 0;
        // Runs on the engine handle of a connection as it is opened (tests
        // register slow or failing functions through it).
        std::function<void(sqlite3 *)> connectionHook;
    };

    FooterSumWorker() : m_connection(QStringLiteral("grid-sums-")) {}

    // Any thread: from now on only the request with this token counts (0: none).
    void supersede(quint64 token) { m_latest.store(token, std::memory_order_relaxed); }

    // The worker's thread.
    void sum(const Request &request);
    void closeConnection() { m_connection.close(); }

signals:
    // One value a column; error holds the engine's text, empty on success.
    void summed(quint64 token, const QVariantList &values, const QString &error);

private:
    static int progress(void *worker);

    std::atomic<quint64> m_latest{0};
    quint64 m_running = 0; // token of the statement being stepped, 0 between
    WorkerConnection m_connection;
};

} // namespace Quellon
