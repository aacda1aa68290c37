#include "WorkerConnection.h"

#include "SqliteStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <sqlite3.h>

namespace Quellon {

namespace {
// Virtual-machine steps between two looks at whether the running statement is
// still wanted: a few microseconds of work, so an overtaken scan of 200,000
// rows stops at once, while the look itself costs nothing measurable.
constexpr int StepsBetweenChecks = 1000;
} // namespace

bool WorkerConnection::open(const QString &source, const QStringList &setup, const Hook &hook, StopCheck stop,
                            void *context, QString *error)
{
    if (m_db.isOpen() && m_source == source)
        return true;
    close();
    m_name = m_prefix + QUuid::createUuid().toString(QUuid::Id128);
    m_db = QSqlDatabase::cloneDatabase(source, m_name);
    if (!m_db.open()) {
        if (error)
            *error = m_db.lastError().text();
        close();
        return false;
    }
    m_source = source;
    {
        QSqlQuery q(m_db);
        for (const QString &statement : setup)
            q.exec(statement);
    }
    if (sqlite3 *engine = handle()) {
        if (hook)
            hook(engine);
        if (stop)
            sqlite3_progress_handler(engine, StepsBetweenChecks, stop, context);
    }
    return true;
}

void WorkerConnection::close()
{
    if (m_name.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
    m_source.clear();
}

sqlite3 *WorkerConnection::handle() const
{
    return SqliteStatement::handleOf(m_db);
}

} // namespace Quellon
