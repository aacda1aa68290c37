#pragma once

#include <QString>

namespace Quellon {

class Database;
struct LoginSession;

// The rules behind a page's copy and delete actions, for houses or for
// clients: who may, what the window asks first, and the move to the recycle
// bin. The window shows a refusal and asks the question; nothing here asks.
class RecordActions
{
public:
    enum Kind { Houses, Clients };

    explicit RecordActions(Kind kind) : m_kind(kind) {}
    Kind kind() const { return m_kind; }

    // Why the current record cannot be copied, or empty when it can: the
    // list is empty, or the record is another salesperson's and the operator
    // is not the administrator.
    QString copyRefusal(const LoginSession &session, const QString &salesperson, bool listEmpty) const;
    // Why the current record cannot be deleted, or empty when it can.
    QString deleteRefusal(const LoginSession &session, const QString &salesperson) const;
    // The question before a delete, naming the record by its name.
    QString deleteQuestion(const QString &name) const;

    // Moves the live record with this F_ID to the recycle bin. A record that
    // is gone or already there (another workstation was first) is reported
    // with a message and answers false, as does a failed statement.
    bool moveToRecycleBin(Database &db, qint64 id) const;

private:
    QString table() const;

    Kind m_kind;
};

} // namespace Quellon
