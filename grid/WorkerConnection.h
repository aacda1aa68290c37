#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

#include <functional>

struct sqlite3;

namespace Quellon {

// A worker thread's own connection to the database of a connection of the
// user-interface thread: a connection belongs to the thread that opened it.
// It is opened on the worker's thread, stays open from one request to the
// next, and is closed there too (at the latest when it is destroyed).
class WorkerConnection
{
public:
    using Hook = std::function<void(sqlite3 *)>;
    // Asked every few thousand engine steps; true stops the running statement.
    using StopCheck = int (*)(void *context);

    // namePrefix tells the connections of one kind of worker apart.
    explicit WorkerConnection(const QString &namePrefix) : m_prefix(namePrefix) {}
    ~WorkerConnection() { close(); }
    WorkerConnection(const WorkerConnection &) = delete;
    WorkerConnection &operator=(const WorkerConnection &) = delete;

    // Opens a clone of the connection named source unless one is open
    // already, runs the setup statements on it and then hook on its engine
    // handle (tests register slow or failing functions through it), and has
    // the engine ask stop(context) as it works.
    bool open(const QString &source, const QStringList &setup, const Hook &hook, StopCheck stop, void *context,
              QString *error);
    void close();
    bool isOpen() const { return !m_name.isEmpty(); }
    const QSqlDatabase &database() const { return m_db; }
    // Null on any engine other than SQLite.
    sqlite3 *handle() const;

private:
    QString m_prefix;
    QString m_name;
    QString m_source;
    QSqlDatabase m_db;
};

} // namespace Quellon
