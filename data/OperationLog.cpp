#include "OperationLog.h"

#include "Clock.h"
#include "Database.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>

namespace Quellon {

void OperationLog::write(const QString &operatorName, const QString &operation)
{
    if (!m_db.isConnected())
        return;
    const QDateTime now = Clock::now();
    QSqlQuery q(m_db.database());
    if (!q.prepare(QStringLiteral("insert into LogRec(F_EmpName,F_OperType,F_OperDate,F_OperTime) values(?,?,?,?)"))) {
        qWarning().noquote() << "log write failed:" << q.lastError().text();
        return;
    }
    Database::bind(q, {operatorName, operation, now.toString(QStringLiteral("yyyy-MM-dd")),
                       now.toString(QStringLiteral("hh:mm:ss"))});
    if (!q.exec())
        qWarning().noquote() << "log write failed:" << q.lastError().text();
}

} // namespace Quellon
