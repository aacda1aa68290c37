#include "FooterSumWorker.h"

#include "Database.h"
#include "SqliteStatement.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <sqlite3.h>

namespace Quellon {

namespace {
// Virtual-machine steps between two looks at whether the running sum is still
// wanted: a few microseconds of work, so an overtaken scan of 200,000 rows
// stops at once, while the look itself costs nothing measurable.
constexpr int StepsBetweenChecks = 1000;
} // namespace

FooterSumWorker::~FooterSumWorker()
{
    closeConnection();
}

int FooterSumWorker::progress(void *worker)
{
    const auto *self = static_cast<const FooterSumWorker *>(worker);
    return self->m_running != 0 && self->m_latest.load(std::memory_order_relaxed) != self->m_running;
}

bool FooterSumWorker::open(const Request &request, QString *error)
{
    if (m_db.isOpen() && m_source == request.source)
        return true;
    closeConnection();
    m_connection = QStringLiteral("grid-sums-") + QUuid::createUuid().toString(QUuid::Id128);
    m_db = QSqlDatabase::cloneDatabase(request.source, m_connection);
    if (!m_db.open()) {
        *error = m_db.lastError().text();
        closeConnection();
        return false;
    }
    m_source = request.source;
    {
        QSqlQuery q(m_db);
        for (const QString &statement : request.setup)
            q.exec(statement);
    }
    if (sqlite3 *handle = SqliteStatement::handleOf(m_db)) {
        if (request.connectionHook)
            request.connectionHook(handle);
        sqlite3_progress_handler(handle, StepsBetweenChecks, &FooterSumWorker::progress, this);
    }
    return true;
}

void FooterSumWorker::closeConnection()
{
    if (m_connection.isEmpty())
        return;
    m_db.close();
    m_db = QSqlDatabase();
    QSqlDatabase::removeDatabase(m_connection);
    m_connection.clear();
    m_source.clear();
}

void FooterSumWorker::sum(const Request &request)
{
    if (request.token != m_latest.load(std::memory_order_relaxed))
        return;
    QVariantList values;
    QString error;
    if (open(request, &error)) {
        m_running = request.token;
        {
            QSqlQuery q(m_db);
            q.setForwardOnly(true);
            bool ran = q.prepare(request.sql.sql());
            if (ran) {
                Database::bind(q, request.sql.values());
                ran = q.exec();
            }
            if (ran && q.next()) {
                for (int i = 0; i < request.columns; ++i)
                    values << q.value(i);
            } else {
                error = q.lastError().isValid() ? q.lastError().text() : QStringLiteral("the sums gave no row");
            }
        }
        m_running = 0;
    }
    // Figures of a list that has changed since, or the interruption itself,
    // would only mislead.
    if (request.token != m_latest.load(std::memory_order_relaxed))
        return;
    emit summed(request.token, values, error);
}

} // namespace Quellon
