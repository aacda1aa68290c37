#include "FooterSumWorker.h"

#include "Database.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Quellon {

int FooterSumWorker::progress(void *worker)
{
    const auto *self = static_cast<const FooterSumWorker *>(worker);
    return self->m_running != 0 && self->m_latest.load(std::memory_order_relaxed) != self->m_running;
}

void FooterSumWorker::sum(const Request &request)
{
    if (request.token != m_latest.load(std::memory_order_relaxed))
        return;
    QVariantList values;
    QString error;
    if (m_connection.open(request.source, request.setup, request.connectionHook, &FooterSumWorker::progress, this,
                          &error)) {
        m_running = request.token;
        {
            QSqlQuery q(m_connection.database());
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
