#pragma once

#include "SqlFragment.h"
#include "WorkerConnection.h"

#include <QList>
#include <QObject>
#include <QSqlError>
#include <QStringList>

#include <atomic>

namespace Quellon {

// Reads the ordered keys of a grid's list on the thread it was moved to, over
// a connection of its own, so that running a list again (a search narrowed
// with every typed letter) never holds up the user-interface thread.
//
// Only the newest request counts, as with the footer sums: one overtaken
// before it starts is skipped, one that is running stops at the engine's next
// progress callback, and neither reports anything.
class KeyReadWorker : public QObject
{
    Q_OBJECT
public:
    struct Request
    {
        quint64 token = 0;
        QString source;    // connection to clone
        QStringList setup; // statements every new connection runs
        SqlFragment sql;   // the keys, one a row, in list order
        WorkerConnection::Hook connectionHook;
    };

    KeyReadWorker() : m_connection(QStringLiteral("grid-keys-")) {}

    // Any thread: from now on only the request with this token counts (0: none).
    void supersede(quint64 token) { m_latest.store(token, std::memory_order_relaxed); }

    // The worker's thread.
    void read(const Request &request);
    void closeConnection() { m_connection.close(); }

signals:
    // error is invalid on success; its text is the engine's, for the log.
    void keysRead(quint64 token, const QList<qint64> &keys, const QSqlError &error);

private:
    static int progress(void *worker);
    bool wanted(quint64 token) const { return token == m_latest.load(std::memory_order_relaxed); }

    std::atomic<quint64> m_latest{0};
    quint64 m_running = 0; // token of the statement being stepped, 0 between
    WorkerConnection m_connection;
};

} // namespace Quellon
