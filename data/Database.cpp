#include "Database.h"

#include "FileMover.h"
#include "Messages.h"
#include "SchemaInstaller.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

namespace Quellon {

namespace {
const QString OpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");
const QString OperationFailed = QStringLiteral("操作失败，请检查数据连接... ");
const QString DeleteFailed = QStringLiteral("删除操作失败，请检查数据连接... ");
} // namespace

Database::Database(QObject *parent)
    : QObject(parent)
    , m_connectionName(QStringLiteral("quellon-") + QUuid::createUuid().toString(QUuid::Id128))
{
}

Database::~Database()
{
    closeDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

QSqlDatabase Database::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

// ---------------------------------------------------------------- connection

namespace {
QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

Database::OpenStatus refusal(Database::OpenResult result, const QString &message)
{
    Database::OpenStatus status;
    status.result = result;
    status.message = message;
    return status;
}

// Whether the program can use the file where it is, asked before SQLite is:
// in WAL mode SQLite cannot even read a database when it may not write the
// file, its folder or its -wal and -shm files, and it reports that as a
// failed read, which would pass for a damaged file.
Database::OpenStatus accessProblem(const QString &file)
{
    using R = Database::OpenResult;
    const QFileInfo info(file);
    if (info.isDir())
        return refusal(R::NotADatabase, QStringLiteral("“%1”是一个文件夹，不是数据库文件。").arg(native(file)));
    if (!info.isReadable())
        return refusal(R::Failed, QStringLiteral("没有读取数据库文件“%1”的权限，请让管理员为您开放该文件的读写权限。").arg(native(file)));
    if (!info.isWritable())
        return refusal(R::ReadOnly, QStringLiteral("数据库文件“%1”是只读的，本程序无法在其中保存数据。"
                                                   "请取消该文件的只读属性，或让管理员为您开放写入权限。")
                                        .arg(native(file)));
    const QFileInfo wal(file + QStringLiteral("-wal")), shm(file + QStringLiteral("-shm"));
    for (const QFileInfo &companion : {wal, shm}) {
        if (companion.exists() && !companion.isWritable())
            return refusal(R::ReadOnly, QStringLiteral("数据库的工作文件“%1”是只读的（可能由其他用户留下），本程序无法使用该数据库。"
                                                       "请让管理员为您开放该文件的写入权限。")
                                            .arg(native(companion.absoluteFilePath())));
    }
    // The -wal and -shm files are made beside the database when it opens.
    const QString folder = info.absolutePath();
    if (!QFileInfo(folder).isWritable() && !(wal.isWritable() && shm.isWritable()))
        return refusal(R::ReadOnly, QStringLiteral("数据库所在的文件夹“%1”是只读的，本程序需要在该文件夹中写入数据库的工作文件。"
                                                   "请让管理员为您开放该文件夹的写入权限。")
                                        .arg(native(folder)));
    Database::OpenStatus ok;
    ok.result = R::Ok;
    return ok;
}

bool hasSqliteHeader(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) && f.read(16) == QByteArray("SQLite format 3\0", 16);
}

// The reason a database could not be read, for the user; the engine's words
// go to the log.
Database::OpenStatus unreadable(const QString &file, const QSqlError &error)
{
    using R = Database::OpenResult;
    qWarning().noquote() << "opening" << file << "failed:" << error.nativeErrorCode() << error.text();
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    if (isNumber && (code == 3 || code == 8)) // permission, read-only
        return refusal(R::ReadOnly, QStringLiteral("无法写入数据库文件“%1”或它所在的文件夹（只读），因此无法打开该数据库。"
                                                   "请让管理员为您开放写入权限。")
                                        .arg(native(file)));
    if (isNumber && (code == 11 || code == 26)) { // corrupt, not a database
        if (!hasSqliteHeader(file))
            return refusal(R::NotADatabase, QStringLiteral("文件“%1”不是数据库文件。").arg(native(file)));
        return refusal(R::NotADatabase, QStringLiteral("数据库文件“%1”已损坏，请用备份恢复。").arg(native(file)));
    }
    return refusal(R::Failed, QStringLiteral("无法打开数据库文件“%1”：%2").arg(native(file), Database::explainError(error)));
}

// SQLite's own files beside a database file.
void removeWithCompanions(const QString &file)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}
} // namespace

Database::OpenStatus Database::createDatabase(const QString &file)
{
    OpenStatus status;
    const QString dir = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(dir)) {
        // A program installed where its users may not write cannot make data/ beside itself.
        QFileInfo parent(dir);
        while (!parent.exists() && !parent.isRoot())
            parent.setFile(parent.absolutePath());
        if (parent.isDir() && !parent.isWritable())
            return refusal(OpenResult::ReadOnly,
                           QStringLiteral("文件夹“%1”是只读的，无法在其中创建数据文件夹“%2”。请让管理员为您开放该文件夹的写入权限。")
                               .arg(native(parent.absoluteFilePath()), native(dir)));
        status.result = OpenResult::CannotCreate;
        status.message = QStringLiteral("无法创建数据文件夹“%1”，请检查该位置是否可写。").arg(native(dir));
        return status;
    }
    if (!QFileInfo(dir).isWritable())
        return refusal(OpenResult::ReadOnly,
                       QStringLiteral("数据文件夹“%1”是只读的，无法在其中创建数据库。请让管理员为您开放该文件夹的写入权限。")
                           .arg(native(dir)));
    // Built under a name of this program's own: another copy of the program
    // starting at the same moment builds its own file beside this one.
    const QString part = QDir(dir).filePath(
        QStringLiteral("%1.%2.new").arg(databaseFileName(), QUuid::createUuid().toString(QUuid::Id128)));
    const QString name = QStringLiteral("create-") + QUuid::createUuid().toString(QUuid::Id128);
    QString error;
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(part);
        if (db.open()) {
            ok = SchemaInstaller::upgrade(db, &error);
            // A new office keeps its backups beside its data until told otherwise.
            QSqlQuery q(db);
            if (ok && q.prepare(QStringLiteral("update SysInfo set F_BakPath = :p where F_BakPath = ''"))) {
                q.bindValue(QStringLiteral(":p"), QDir::toNativeSeparators(QDir(dir).filePath(QStringLiteral("backup"))));
                ok = q.exec();
                if (!ok)
                    error = q.lastError().text();
            }
            // The file is in WAL mode before it is shared: the first programs
            // to open it do not both try to switch it.
            if (ok && !(q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) && q.next()
                        && q.value(0).toString() == QLatin1String("wal"))) {
                ok = false;
                error = QStringLiteral("journal_mode=WAL refused: ") + q.lastError().text();
            }
            q.finish();
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (ok && !FileMover::flushFile(part, &error))
        ok = false;
    if (ok) {
        // The first program to get here puts its file in place; a later one
        // throws its own away and opens the first one's.
        switch (FileMover::moveUnlessExists(part, file, &error)) {
        case FileMover::Result::Moved:
            if (!FileMover::flushFolder(dir, &error))
                qWarning().noquote() << "new database's folder not flushed:" << error;
            break;
        case FileMover::Result::TargetExists:
            removeWithCompanions(part);
            break;
        case FileMover::Result::Failed:
            ok = false;
            break;
        }
    }
    if (!ok) {
        qWarning().noquote() << "creating" << file << "failed:" << error;
        removeWithCompanions(part);
        status.result = OpenResult::CannotCreate;
        status.message = QStringLiteral("无法在文件夹“%1”中创建数据库，请检查该位置是否可写、磁盘空间是否足够。")
                             .arg(native(dir));
        return status;
    }
    status.result = OpenResult::Ok;
    return status;
}

Database::OpenStatus Database::openDatabase(const QString &folder, bool createIfMissing)
{
    closeDatabase();
    const QString file = QDir(folder).absoluteFilePath(databaseFileName());
    if (!QFileInfo::exists(file)) {
        if (!createIfMissing) {
            if (!QFileInfo(folder).isDir())
                return refusal(OpenResult::FolderMissing,
                               QStringLiteral("找不到数据库所在的文件夹“%1”。").arg(native(QDir(folder).absolutePath())));
            return refusal(OpenResult::Missing, QStringLiteral("找不到数据库文件“%1”。").arg(native(file)));
        }
        const OpenStatus created = createDatabase(file);
        if (!created.ok())
            return created;
    }
    return openFile(file);
}

Database::OpenStatus Database::openFile(const QString &file)
{
    OpenStatus status = accessProblem(file);
    if (!status.ok())
        return status;
    {
        QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                              ? QSqlDatabase::database(m_connectionName, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(file);
        // A second copy of the program on the same file waits for a lock
        // instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open())
            return unreadable(file, db.lastError());
        QSqlQuery q(db);
        // Only read until the file is known to be ours and not too new: a
        // file the program cannot use is left exactly as it was.
        if (!q.exec(QStringLiteral("select count(*) from sqlite_master"))) {
            status = unreadable(file, q.lastError());
        } else if (!SchemaInstaller::looksLikeQuellonDatabase(db)) {
            status = refusal(OpenResult::NotOurs, QStringLiteral("文件“%1”不是本系统的数据库。").arg(native(file)));
        } else if (SchemaInstaller::storedVersion(db) > SchemaInstaller::currentVersion()) {
            status = refusal(OpenResult::TooNew,
                             QStringLiteral("数据库“%1”由更新版本的程序创建，请升级本程序。").arg(native(file)));
        } else {
            for (const QString &setup : m_dialect.connectionSetup())
                q.exec(setup);
            QString error;
            if (!SchemaInstaller::upgrade(db, &error)) {
                qWarning().noquote() << "upgrading" << file << "failed:" << error;
                status = refusal(OpenResult::Failed,
                                 QStringLiteral("数据库“%1”无法升级到本程序的版本，详细原因已记入日志。").arg(native(file)));
            } else {
                refreshStatistics(db);
                status.result = OpenResult::Ok;
            }
        }
        q.finish();
        if (!status.ok()) {
            db.close();
            return status;
        }
        // Read front to back: scrolling would make the driver keep every row
        // it has fetched.
        m_scratch = QSqlQuery(db);
        m_scratch.setForwardOnly(true);
    }
    m_file = file;
    m_connected = true;
    m_txDepth = 0;
    emit connectionChanged(true);
    return status;
}

void Database::refreshStatistics(QSqlDatabase db)
{
    // Without statistics the planner takes F_flag, which every live row shares,
    // for a narrow filter and reads lists through it; a sampled ANALYZE is a
    // matter of milliseconds even on a large office.
    QSqlQuery q(db);
    if (q.exec(QStringLiteral("select count(*) from sqlite_master where name = 'sqlite_stat1'")) && q.next()
        && q.value(0).toInt() > 0 && q.exec(QStringLiteral("select count(*) from sqlite_stat1")) && q.next()
        && q.value(0).toInt() > 0)
        return;
    q.exec(QStringLiteral("PRAGMA analysis_limit=1000"));
    q.exec(QStringLiteral("ANALYZE"));
}

void Database::closeDatabase()
{
    m_scratch = QSqlQuery();
    if (QSqlDatabase::contains(m_connectionName)) {
        QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
        if (db.isOpen()) {
            // Keeps the planner's statistics in step with tables that grew, so
            // lists keep choosing their indexes as an office's data builds up.
            if (m_dialect.engine() == SqlDialect::SQLite && m_txDepth == 0)
                QSqlQuery(db).exec(QStringLiteral("PRAGMA optimize"));
            db.close();
        }
    }
    m_txDepth = 0;
    if (m_connected) {
        m_connected = false;
        emit connectionChanged(false);
    }
}

bool Database::reopenDatabase()
{
    if (m_file.isEmpty())
        return false;
    closeDatabase();
    return openFile(m_file).ok();
}

// ---------------------------------------------------------------- statements

void Database::bind(QSqlQuery &query, const QVariantList &values)
{
    for (const QVariant &value : values)
        query.addBindValue(value);
}

void Database::bind(QSqlQuery &query, const SqlParams &params)
{
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString key = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
        query.bindValue(key, it.value());
    }
}

bool Database::prepareAndExec(QSqlQuery &query, const QString &sql, const SqlParams &params)
{
    if (!m_connected)
        return false;
    if (params.isEmpty())
        return query.exec(sql);
    if (!query.prepare(sql))
        return false;
    bind(query, params);
    return query.exec();
}

bool Database::prepareAndExec(QSqlQuery &query, const SqlFragment &statement)
{
    if (!m_connected)
        return false;
    if (statement.values().isEmpty())
        return query.exec(statement.sql());
    if (!query.prepare(statement.sql()))
        return false;
    bind(query, statement.values());
    return query.exec();
}

QString Database::explainError(const QSqlError &error)
{
    bool isNumber = false;
    const int code = error.nativeErrorCode().toInt(&isNumber) & 0xff;
    if (isNumber) {
        switch (code) {
        case 5: // busy
        case 6: // locked
            return QStringLiteral("数据库正被其他程序占用，请稍后再试。");
        case 8:
            return QStringLiteral("数据库文件为只读，无法保存修改。");
        case 9:
            return QStringLiteral("操作已被中止。");
        case 10:
            return QStringLiteral("读写数据库文件时出错。");
        case 11:
        case 26:
            return QStringLiteral("数据库文件已损坏或不是数据库文件。");
        case 13:
            return QStringLiteral("磁盘空间已满，数据未能保存。");
        case 14:
            return QStringLiteral("无法打开数据库文件。");
        case 19:
            return QStringLiteral("数据与已有记录冲突（重复或不完整）。");
        default:
            break;
        }
    }
    if (error.type() == QSqlError::ConnectionError)
        return QStringLiteral("与数据库的连接已断开。");
    // The engine's text is English and names tables and columns: it helps
    // whoever reads the log, not the agent in front of the message.
    return QStringLiteral("数据库未能执行该操作，详细原因已记入日志。");
}

void Database::reportFailure(const QString &message, const QSqlQuery &query, const QString &sql)
{
    const QSqlError error = m_connected ? query.lastError() : QSqlError();
    qWarning().noquote() << "database operation failed:" << error.text() << "|" << sql.left(500);
    QString text = message;
    const QString reason = m_connected ? explainError(error) : QStringLiteral("数据库未连接。");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    showMessage(text, MessageKind::Error);
}

template<typename Exec>
bool Database::run(QSqlQuery &query, const QString &failureMessage, const QString &sql, Exec exec)
{
    query.finish();
    if (exec(query))
        return true;
    reportFailure(failureMessage, query, sql);
    return false;
}

namespace {
// A caller's own query object is bound to the connection afresh; it may be
// new or left over from before a reconnection.
void rebind(QSqlQuery &query, const QSqlDatabase &db)
{
    const bool forwardOnly = query.isForwardOnly();
    query = QSqlQuery(db);
    query.setForwardOnly(forwardOnly);
}
} // namespace

bool Database::openQuery(const QString &sql, QSqlQuery &query, const SqlParams &params)
{
    rebind(query, database());
    return run(query, OpenFailed, sql, [&](QSqlQuery &q) { return prepareAndExec(q, sql, params); });
}

bool Database::openQuery(const SqlFragment &statement, QSqlQuery &query)
{
    rebind(query, database());
    return run(query, OpenFailed, statement.sql(), [&](QSqlQuery &q) { return prepareAndExec(q, statement); });
}

bool Database::tryQuery(const SqlFragment &statement, QSqlQuery &query, QString *error) const
{
    rebind(query, database());
    if (!m_connected) {
        if (error)
            *error = QStringLiteral("not connected");
        return false;
    }
    bool ok = statement.values().isEmpty() ? query.exec(statement.sql()) : query.prepare(statement.sql());
    if (ok && !statement.values().isEmpty()) {
        bind(query, statement.values());
        ok = query.exec();
    }
    if (!ok && error)
        *error = query.lastError().text();
    return ok;
}

bool Database::execute(const QString &sql, const SqlParams &params)
{
    m_rowsAffected = -1;
    const bool ok = run(m_scratch, OperationFailed, sql, [&](QSqlQuery &q) { return prepareAndExec(q, sql, params); });
    if (ok)
        m_rowsAffected = m_scratch.numRowsAffected();
    return ok;
}

bool Database::execute(const SqlFragment &statement)
{
    m_rowsAffected = -1;
    const bool ok = run(m_scratch, OperationFailed, statement.sql(), [&](QSqlQuery &q) { return prepareAndExec(q, statement); });
    if (ok)
        m_rowsAffected = m_scratch.numRowsAffected();
    return ok;
}

bool Database::deleteById(const QString &table, qint64 id)
{
    m_rowsAffected = -1;
    const QString sql = QStringLiteral("delete from %1 where F_ID = ?").arg(table);
    const SqlFragment statement(sql, {id});
    const bool ok = run(m_scratch, DeleteFailed, sql, [&](QSqlQuery &q) { return prepareAndExec(q, statement); });
    if (ok)
        m_rowsAffected = m_scratch.numRowsAffected();
    return ok;
}

QVariant Database::firstValue(const SqlFragment &statement, const SqlParams &params, bool named, bool *ok)
{
    const bool done = run(m_scratch, OperationFailed, statement.sql(), [&](QSqlQuery &q) {
        return named ? prepareAndExec(q, statement.sql(), params) : prepareAndExec(q, statement);
    });
    if (ok)
        *ok = done;
    QVariant value;
    if (done && m_scratch.next())
        value = m_scratch.value(0);
    m_scratch.finish();
    return value;
}

QString Database::queryText(const QString &sql, const SqlParams &params, bool *ok)
{
    return firstValue(SqlFragment(sql), params, true, ok).toString();
}

QString Database::queryText(const SqlFragment &statement, bool *ok)
{
    return firstValue(statement, {}, false, ok).toString();
}

qint64 Database::queryInt(const QString &sql, const SqlParams &params, bool *ok)
{
    return firstValue(SqlFragment(sql), params, true, ok).toLongLong();
}

qint64 Database::queryInt(const SqlFragment &statement, bool *ok)
{
    return firstValue(statement, {}, false, ok).toLongLong();
}

bool Database::readList(const SqlFragment &statement, QStringList &items)
{
    items.clear();
    if (!run(m_scratch, OperationFailed, statement.sql(), [&](QSqlQuery &q) { return prepareAndExec(q, statement); }))
        return false;
    while (m_scratch.next()) {
        const QString value = m_scratch.value(0).toString();
        if (!value.trimmed().isEmpty())
            items << value;
    }
    const bool ok = !m_scratch.lastError().isValid();
    if (!ok)
        reportFailure(OperationFailed, m_scratch, statement.sql());
    m_scratch.finish();
    return ok;
}

// ---------------------------------------------------------------- transactions

bool Database::beginTransaction()
{
    if (!m_connected)
        return false;
    QSqlQuery q(database());
    const QString sql = m_txDepth == 0 ? m_dialect.beginWriteTransaction()
                                       : QStringLiteral("SAVEPOINT sp%1").arg(m_txDepth);
    if (!q.exec(sql)) {
        reportFailure(OperationFailed, q, sql);
        return false;
    }
    ++m_txDepth;
    return true;
}

bool Database::commitTransaction()
{
    if (m_txDepth <= 0)
        return false;
    QSqlQuery q(database());
    const QString sql = m_txDepth == 1 ? QStringLiteral("COMMIT") : QStringLiteral("RELEASE sp%1").arg(m_txDepth - 1);
    if (!q.exec(sql)) {
        qWarning().noquote() << "commit failed:" << q.lastError().text();
        rollbackTransaction();
        return false;
    }
    --m_txDepth;
    return true;
}

bool Database::rollbackTransaction()
{
    if (m_txDepth <= 0)
        return false;
    QSqlQuery q(database());
    bool ok;
    if (m_txDepth == 1) {
        m_scratch.finish();
        ok = q.exec(QStringLiteral("ROLLBACK"));
    } else {
        const int sp = m_txDepth - 1;
        ok = q.exec(QStringLiteral("ROLLBACK TO sp%1").arg(sp)) && q.exec(QStringLiteral("RELEASE sp%1").arg(sp));
    }
    if (!ok)
        qWarning().noquote() << "rollback failed:" << q.lastError().text();
    --m_txDepth;
    return ok;
}

} // namespace Quellon
