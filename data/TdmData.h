#pragma once

#include "SqlDialect.h"

#include <QDate>
#include <QObject>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace Quellon {

// Named values bound to ":name" placeholders of a statement.
using SqlParams = QVariantMap;

// The data-access service: the one connection to the database and the small
// set of operations every window uses. It belongs to the user-interface thread.
// Failures are reported to the user (ShowMess, kind 3) and answered with
// false, empty text or 0; callers decide whether to go on.
class TdmData : public QObject
{
    Q_OBJECT
public:
    static QString databaseFileName() { return QStringLiteral("House.db"); }

    enum class OpenResult { Ok, Missing, NotADatabase, NotOurs, TooNew, CannotCreate, Failed };
    struct OpenStatus
    {
        OpenResult result = OpenResult::Failed;
        QString message; // Chinese, for the user; empty on success
        bool ok() const { return result == OpenResult::Ok; }
    };

    explicit TdmData(QObject *parent = nullptr);
    ~TdmData() override;

    // The program's one instance (the first created and still alive).
    static TdmData *instance();

    // Opens House.db in the folder. A missing file is created with the schema
    // and seed rows only when createIfMissing is set; it is built beside the
    // final name and renamed into place, so a failed creation leaves nothing.
    OpenStatus openDatabase(const QString &folder, bool createIfMissing);
    void closeDatabase();
    // Reopens the file last opened (after compacting or restoring it).
    bool reopenDatabase();
    bool isConnected() const { return m_connected; }
    QString databaseFile() const { return m_file; }
    QSqlDatabase database() const;
    const SqlDialect &dialect() const { return m_dialect; }

    // The operator of the login state, used by WriteLog and HasLimit.
    void setCurrentOperator(const QString &name) { m_operator = name; }
    QString currentOperator() const { return m_operator; }

    // The shared statement objects. A result read from one of them is valid
    // until the next operation on the same object.
    QSqlQuery &QryPub() { return m_qryPub; }
    QSqlQuery &QryTemp() { return m_qryTemp; }

    bool OpenQuery(const QString &sql, QSqlQuery &query, const SqlParams &params = {});
    bool ExecSql(const QString &sql, const SqlParams &params = {});
    bool DeleteById(const QString &table, qint64 id);
    QString QueryText(const QString &sql, const SqlParams &params = {}, bool *ok = nullptr);
    qint64 QueryInt(const QString &sql, const SqlParams &params = {}, bool *ok = nullptr);
    // Fills items with the first column of every row that is not blank.
    // On failure the items read so far stay.
    bool FillCombo(const QString &sql, QStringList &items);
    void WriteLog(const QString &operType);
    bool HasLimit(const QString &key);
    // The code after the largest one the statement yields, keeping a prefix
    // and a counter of `digits` digits. *ok is false when the counter is not
    // all digits (the result then repeats the prefix and the old counter) or
    // the statement fails.
    QString NextCode(const QString &sql, int digits, bool *ok = nullptr);
    static QString nextCodeAfter(const QString &maxCode, int digits, bool *ok = nullptr);
    static QString NumberFormat(int places, int kind);

    // The start-up backup: one copy a day of the database in use, into the
    // folder named in SysInfo.
    void AutoBackup();
    // Whether the automatic backup choice (config.ini "ibak") asks for a copy today.
    static bool autoBackupDue(int choice, const QDate &today);
    static QString backupFileName(const QDate &day);
    // A consistent copy of the open database to target; never a half-written
    // file under the target name. Fails when target exists and !overwrite.
    bool backupTo(const QString &target, bool overwrite, QString *error = nullptr);

    // Transactions nest: the outermost begins and commits, inner ones are
    // savepoints. Every multi-row write runs inside one.
    bool beginTransaction();
    bool commitTransaction();
    bool rollbackTransaction();
    int transactionDepth() const { return m_txDepth; }

    // A Chinese explanation of the last database error, for messages.
    static QString explainError(const QSqlError &error);

signals:
    void connectionChanged(bool connected);

private:
    bool prepareAndExec(QSqlQuery &query, const QString &sql, const SqlParams &params);
    // Runs a statement on a shared object, reporting a failure with the message.
    bool run(QSqlQuery &query, const QString &failureMessage, const QString &sql, const SqlParams &params);
    QVariant firstValue(const QString &sql, const SqlParams &params, bool *ok);
    void reportFailure(const QString &message, const QSqlQuery &query, const QString &sql);
    OpenStatus openFile(const QString &file);
    static OpenStatus createDatabase(const QString &file);
    static void refreshStatistics(QSqlDatabase db);

    QString m_connectionName;
    QString m_file;
    QString m_operator;
    bool m_connected = false;
    int m_txDepth = 0;
    SqlDialect m_dialect;
    QSqlQuery m_qryPub;
    QSqlQuery m_qryTemp;
};

// Rolls back unless committed: for the scope of one multi-row write.
class DbTransaction
{
public:
    explicit DbTransaction(TdmData &dm) : m_dm(dm), m_active(dm.beginTransaction()) {}
    ~DbTransaction()
    {
        if (m_active)
            m_dm.rollbackTransaction();
    }
    DbTransaction(const DbTransaction &) = delete;
    DbTransaction &operator=(const DbTransaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_dm.commitTransaction();
    }

private:
    TdmData &m_dm;
    bool m_active;
};

} // namespace Quellon
