#pragma once

#include <QString>

namespace Quellon {

class Database;

// The operation log (LogRec): who did what and when. A failed write is
// written to the program's log and otherwise ignored: it never interrupts
// what is being logged.
class OperationLog
{
public:
    explicit OperationLog(Database &db) : m_db(db) {}

    void write(const QString &operatorName, const QString &operation);

private:
    Database &m_db;
};

} // namespace Quellon
