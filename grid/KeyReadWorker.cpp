#include "KeyReadWorker.h"

#include "Database.h"
#include "SqliteStatement.h"

#include <QSqlQuery>
#include <sqlite3.h>

namespace Quellon {

int KeyReadWorker::progress(void *worker)
{
    const auto *self = static_cast<const KeyReadWorker *>(worker);
    return self->m_running != 0 && !self->wanted(self->m_running);
}

void KeyReadWorker::read(const Request &request)
{
    if (!wanted(request.token))
        return;
    QList<qint64> keys;
    QSqlError error;
    QString openError;
    if (!m_connection.open(request.source, request.setup, request.connectionHook, &KeyReadWorker::progress, this,
                           &openError)) {
        error = QSqlError(openError, {}, QSqlError::ConnectionError);
    } else if (sqlite3 *engine = m_connection.handle()) {
        // Through the driver each key would cost several times the engine's work.
        m_running = request.token;
        SqliteStatement statement;
        if (statement.prepare(engine, request.sql.sql().toStdString())) {
            statement.values(request.sql.values());
            while (statement.next())
                keys.append(statement.columnInt(0));
        }
        if (!statement.errorText().isEmpty())
            error = QSqlError({}, statement.errorText(), QSqlError::StatementError,
                              QString::number(sqlite3_extended_errcode(engine)));
        m_running = 0;
    } else {
        QSqlQuery q(m_connection.database());
        q.setForwardOnly(true);
        bool ran = q.prepare(request.sql.sql());
        if (ran) {
            Database::bind(q, request.sql.values());
            ran = q.exec();
        }
        while (ran && q.next() && wanted(request.token))
            keys.append(q.value(0).toLongLong());
        if (q.lastError().isValid())
            error = q.lastError();
    }
    // Keys of a list the user has gone past, or the interruption itself,
    // would only mislead.
    if (!wanted(request.token))
        return;
    emit keysRead(request.token, keys, error);
}

} // namespace Quellon
