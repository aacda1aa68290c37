#include "TdmData.h"

#include "Clock.h"
#include "Messages.h"
#include "SchemaInstaller.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QSqlError>
#include <QSqlRecord>
#include <QUuid>

namespace Quellon {

namespace {
QPointer<TdmData> &globalInstance()
{
    static QPointer<TdmData> dm;
    return dm;
}

const QString OpenFailed = QStringLiteral("打开操作失败，请检查数据连接... ");
const QString OperationFailed = QStringLiteral("操作失败，请检查数据连接... ");
const QString DeleteFailed = QStringLiteral("删除操作失败，请检查数据连接... ");
} // namespace

TdmData::TdmData(QObject *parent)
    : QObject(parent)
    , m_connectionName(QStringLiteral("quellon-") + QUuid::createUuid().toString(QUuid::Id128))
{
    // The program's service is the first one made; later ones (tools, tests)
    // never take its place.
    if (!globalInstance())
        globalInstance() = this;
}

TdmData::~TdmData()
{
    closeDatabase();
    QSqlDatabase::removeDatabase(m_connectionName);
}

TdmData *TdmData::instance()
{
    return globalInstance();
}

QSqlDatabase TdmData::database() const
{
    return QSqlDatabase::database(m_connectionName, false);
}

// ---------------------------------------------------------------- connection

TdmData::OpenStatus TdmData::createDatabase(const QString &file)
{
    OpenStatus status;
    const QString dir = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(dir)) {
        status.result = OpenResult::CannotCreate;
        status.message = QStringLiteral("无法创建数据文件夹“%1”，请检查该位置是否可写。").arg(QDir::toNativeSeparators(dir));
        return status;
    }
    const QString part = file + QStringLiteral(".new");
    QFile::remove(part);
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
            q.finish();
            db.close();
        } else {
            error = db.lastError().text();
        }
    }
    QSqlDatabase::removeDatabase(name);
    if (ok && !QFile::rename(part, file)) {
        ok = false;
        error = QStringLiteral("无法写入 %1").arg(file);
    }
    if (!ok) {
        QFile::remove(part);
        status.result = OpenResult::CannotCreate;
        status.message = QStringLiteral("无法在“%1”创建数据库：%2").arg(QDir::toNativeSeparators(dir), error);
        return status;
    }
    status.result = OpenResult::Ok;
    return status;
}

TdmData::OpenStatus TdmData::openDatabase(const QString &folder, bool createIfMissing)
{
    closeDatabase();
    const QString file = QDir(folder).absoluteFilePath(databaseFileName());
    if (!QFileInfo::exists(file)) {
        if (!createIfMissing) {
            OpenStatus status;
            status.result = OpenResult::Missing;
            status.message = QStringLiteral("找不到数据库文件“%1”。").arg(QDir::toNativeSeparators(file));
            return status;
        }
        const OpenStatus created = createDatabase(file);
        if (!created.ok())
            return created;
    }
    return openFile(file);
}

TdmData::OpenStatus TdmData::openFile(const QString &file)
{
    OpenStatus status;
    {
        QSqlDatabase db = QSqlDatabase::contains(m_connectionName)
                              ? QSqlDatabase::database(m_connectionName, false)
                              : QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(file);
        // A second copy of the program on the same file waits for a lock
        // instead of failing at once.
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=10000"));
        if (!db.open()) {
            status.result = OpenResult::Failed;
            status.message = QStringLiteral("无法打开数据库文件“%1”：%2")
                                 .arg(QDir::toNativeSeparators(file), explainError(db.lastError()));
            return status;
        }
        QSqlQuery q(db);
        for (const QString &setup : m_dialect.connectionSetup())
            q.exec(setup);
        if (!q.exec(QStringLiteral("select count(*) from sqlite_master"))) {
            status.result = OpenResult::NotADatabase;
            status.message = QStringLiteral("文件“%1”不是有效的数据库文件或已损坏。").arg(QDir::toNativeSeparators(file));
        } else if (!SchemaInstaller::looksLikeQuellonDatabase(db)) {
            status.result = OpenResult::NotOurs;
            status.message = QStringLiteral("文件“%1”不是本系统的数据库。").arg(QDir::toNativeSeparators(file));
        } else {
            refreshStatistics(db);
            const int version = SchemaInstaller::storedVersion(db);
            QString error;
            if (version > SchemaInstaller::currentVersion()) {
                status.result = OpenResult::TooNew;
                status.message = QStringLiteral("数据库“%1”由更新版本的程序创建，请升级本程序。").arg(QDir::toNativeSeparators(file));
            } else if (!SchemaInstaller::upgrade(db, &error)) {
                status.result = OpenResult::Failed;
                status.message = QStringLiteral("数据库“%1”升级失败：%2").arg(QDir::toNativeSeparators(file), error);
            } else {
                status.result = OpenResult::Ok;
            }
        }
        q.finish();
        if (!status.ok()) {
            db.close();
            return status;
        }
        // The shared objects are read front to back: scrolling would make the
        // driver keep every row it has fetched.
        m_qryPub = QSqlQuery(db);
        m_qryPub.setForwardOnly(true);
        m_qryTemp = QSqlQuery(db);
        m_qryTemp.setForwardOnly(true);
    }
    m_file = file;
    m_connected = true;
    m_txDepth = 0;
    emit connectionChanged(true);
    return status;
}

void TdmData::refreshStatistics(QSqlDatabase db)
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

void TdmData::closeDatabase()
{
    m_qryPub = QSqlQuery();
    m_qryTemp = QSqlQuery();
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

bool TdmData::reopenDatabase()
{
    if (m_file.isEmpty())
        return false;
    closeDatabase();
    return openFile(m_file).ok();
}

// ---------------------------------------------------------------- statements

bool TdmData::prepareAndExec(QSqlQuery &query, const QString &sql, const SqlParams &params)
{
    if (!m_connected)
        return false;
    if (params.isEmpty())
        return query.exec(sql);
    if (!query.prepare(sql))
        return false;
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString key = it.key().startsWith(QLatin1Char(':')) ? it.key() : QLatin1Char(':') + it.key();
        query.bindValue(key, it.value());
    }
    return query.exec();
}

QString TdmData::explainError(const QSqlError &error)
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
    return error.text().trimmed();
}

void TdmData::reportFailure(const QString &message, const QSqlQuery &query, const QString &sql)
{
    const QSqlError error = m_connected ? query.lastError() : QSqlError();
    qWarning().noquote() << "database operation failed:" << error.text() << "|" << sql.left(500);
    QString text = message;
    const QString reason = m_connected ? explainError(error) : QStringLiteral("数据库未连接。");
    if (!reason.isEmpty())
        text += QLatin1Char('\n') + reason;
    ShowMess(text, MessError);
}

bool TdmData::OpenQuery(const QString &sql, QSqlQuery &query, const SqlParams &params)
{
    // A caller's own object is bound to the connection afresh; it may be new or
    // left over from before a reconnection.
    if (&query != &m_qryPub && &query != &m_qryTemp) {
        const bool forwardOnly = query.isForwardOnly();
        query = QSqlQuery(database());
        query.setForwardOnly(forwardOnly);
    }
    return run(query, OpenFailed, sql, params);
}

bool TdmData::run(QSqlQuery &query, const QString &failureMessage, const QString &sql, const SqlParams &params)
{
    query.finish();
    if (prepareAndExec(query, sql, params))
        return true;
    reportFailure(failureMessage, query, sql);
    return false;
}

bool TdmData::ExecSql(const QString &sql, const SqlParams &params)
{
    return run(m_qryPub, OperationFailed, sql, params);
}

bool TdmData::DeleteById(const QString &table, qint64 id)
{
    // The table name comes from the program, never from the user; the id is a number.
    return run(m_qryPub, DeleteFailed, QStringLiteral("delete from %1 where F_ID = %2").arg(table).arg(id), {});
}

QVariant TdmData::firstValue(const QString &sql, const SqlParams &params, bool *ok)
{
    const bool done = run(m_qryTemp, OperationFailed, sql, params);
    if (ok)
        *ok = done;
    QVariant value;
    if (done && m_qryTemp.next())
        value = m_qryTemp.value(0);
    m_qryTemp.finish();
    return value;
}

QString TdmData::QueryText(const QString &sql, const SqlParams &params, bool *ok)
{
    return firstValue(sql, params, ok).toString();
}

qint64 TdmData::QueryInt(const QString &sql, const SqlParams &params, bool *ok)
{
    return firstValue(sql, params, ok).toLongLong();
}

bool TdmData::FillCombo(const QString &sql, QStringList &items)
{
    items.clear();
    if (!run(m_qryTemp, OperationFailed, sql, {}))
        return false;
    while (m_qryTemp.next()) {
        const QString value = m_qryTemp.value(0).toString();
        if (!value.trimmed().isEmpty())
            items << value;
    }
    const bool ok = !m_qryTemp.lastError().isValid();
    if (!ok)
        reportFailure(OperationFailed, m_qryTemp, sql);
    m_qryTemp.finish();
    return ok;
}

void TdmData::WriteLog(const QString &operType)
{
    if (!m_connected)
        return;
    const QDateTime now = Clock::now();
    QSqlQuery q(database());
    // A failed log write never interrupts what is being logged.
    if (q.prepare(QStringLiteral("insert into LogRec(F_EmpName,F_OperType,F_OperDate,F_OperTime) "
                                 "values(:EmpName,:OperType,:OperDate,:OperTime)"))) {
        q.bindValue(QStringLiteral(":EmpName"), m_operator);
        q.bindValue(QStringLiteral(":OperType"), operType);
        q.bindValue(QStringLiteral(":OperDate"), now.toString(QStringLiteral("yyyy-MM-dd")));
        q.bindValue(QStringLiteral(":OperTime"), now.toString(QStringLiteral("hh:mm:ss")));
        if (!q.exec())
            qWarning().noquote() << "log write failed:" << q.lastError().text();
    }
}

bool TdmData::HasLimit(const QString &key)
{
    const QString sql = QStringLiteral("Select o.F_ID from OperLimit as O left join Limits as l On O.F_lmtName = L.F_name "
                                       "Where (O.F_OperName = %1)And(l.F_code = %2) ")
                            .arg(SqlDialect::quote(m_operator), SqlDialect::quote(key));
    return QueryInt(sql) > 0;
}

// ---------------------------------------------------------------- codes and formats

QString TdmData::nextCodeAfter(const QString &maxCode, int digits, bool *ok)
{
    if (ok)
        *ok = true;
    if (digits <= 0)
        digits = 1;
    QString prefix;
    QString counter;
    if (maxCode.isEmpty()) {
        counter = QString(digits, QLatin1Char('0'));
    } else {
        const int len = maxCode.size();
        prefix = len > digits ? maxCode.left(len - digits) : QString();
        counter = len > digits ? maxCode.right(digits) : maxCode;
    }
    for (const QChar c : counter) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            if (ok)
                *ok = false;
            return prefix + counter;
        }
    }
    // Add one in decimal, keeping the counter's width and leading zeros; a
    // counter of all nines wraps round to zeros.
    QString next = counter;
    for (int i = next.size() - 1; i >= 0; --i) {
        if (next[i] == QLatin1Char('9')) {
            next[i] = QLatin1Char('0');
        } else {
            next[i] = QChar(next[i].unicode() + 1);
            break;
        }
    }
    return prefix + next.right(digits);
}

QString TdmData::NextCode(const QString &sql, int digits, bool *ok)
{
    bool read = false;
    const QString maxCode = firstValue(sql, {}, &read).toString();
    if (!read) {
        if (ok)
            *ok = false;
        return {};
    }
    return nextCodeAfter(maxCode, digits, ok);
}

QString TdmData::NumberFormat(int places, int kind)
{
    if (kind == 1)
        return QStringLiteral("0.") + QString(qMax(0, places), QLatin1Char('#'));
    if (kind == 2 || kind == 3) {
        QString format = QStringLiteral("￥,0.");
        for (int i = 1; i <= places; ++i)
            format += i <= 2 ? QLatin1Char('0') : QLatin1Char('#');
        return format;
    }
    return {};
}

// ---------------------------------------------------------------- backup

bool TdmData::autoBackupDue(int choice, const QDate &today)
{
    switch (choice) {
    case 1:
        return true;
    case 2:
        return today.dayOfWeek() == Qt::Monday;
    case 3:
        return today.day() == 1;
    default:
        return false;
    }
}

QString TdmData::backupFileName(const QDate &day)
{
    return QStringLiteral("dp") + day.toString(QStringLiteral("yyyyMMdd")) + QStringLiteral(".back");
}

bool TdmData::backupTo(const QString &target, bool overwrite, QString *error)
{
    auto fail = [error](const QString &why) {
        if (error)
            *error = why;
        return false;
    };
    if (!m_connected)
        return fail(QStringLiteral("数据库未连接。"));
    if (!overwrite && QFileInfo::exists(target))
        return fail(QStringLiteral("备份文件已存在。"));
    // The copy is written beside the target and renamed at the end, so the
    // target name only ever holds a whole copy.
    const QString part = target + QStringLiteral(".part");
    QFile::remove(part);
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("VACUUM INTO %1").arg(SqlDialect::quote(part)))) {
        QFile::remove(part);
        return fail(explainError(q.lastError()));
    }
    if (overwrite && QFileInfo::exists(target) && !QFile::remove(target)) {
        QFile::remove(part);
        return fail(QStringLiteral("无法替换已有的备份文件。"));
    }
    if (!QFile::rename(part, target)) {
        QFile::remove(part);
        return fail(QStringLiteral("无法写入备份文件。"));
    }
    return true;
}

void TdmData::AutoBackup()
{
    const QString folder = QueryText(QStringLiteral("select f_BakPath from sysInfo")).trimmed();
    // An empty folder would mean "the current directory" to the file system.
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        if (ShowMess(QStringLiteral("当前目录") + folder + QStringLiteral(" 不存在，是否创建！"), MessQuestion) == AnswerNo)
            return;
        if (folder.isEmpty() || !QDir().mkpath(folder)) {
            ShowMess(QStringLiteral("目录") + folder + QStringLiteral(" 创建失败,请检测路径是否合法!"), MessError);
            return;
        }
    }
    const QString target = QDir(folder).filePath(backupFileName(Clock::today()));
    if (QFileInfo::exists(target))
        return;
    QString error;
    if (!backupTo(target, false, &error)) {
        qWarning().noquote() << "automatic backup failed:" << error;
        ShowMess(QStringLiteral("数据备份失败！") + QLatin1Char('\n') + error, MessError);
    }
}

// ---------------------------------------------------------------- transactions

bool TdmData::beginTransaction()
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

bool TdmData::commitTransaction()
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

bool TdmData::rollbackTransaction()
{
    if (m_txDepth <= 0)
        return false;
    QSqlQuery q(database());
    bool ok;
    if (m_txDepth == 1) {
        m_qryPub.finish();
        m_qryTemp.finish();
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
