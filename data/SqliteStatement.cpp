#include "SqliteStatement.h"

#include <QSqlDriver>
#include <QVariant>
#include <sqlite3.h>

namespace Quellon {

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

sqlite3 *SqliteStatement::handleOf(const QSqlDatabase &db)
{
    if (!db.isOpen() || !db.driver())
        return nullptr;
    const QVariant handle = db.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

bool SqliteStatement::prepare(sqlite3 *db, std::string_view sql)
{
    sqlite3_finalize(m_stmt);
    m_stmt = nullptr;
    m_db = db;
    m_bound = 0;
    m_error.clear();
    if (!db) {
        m_error = QStringLiteral("数据库未连接。");
        return false;
    }
    if (sqlite3_prepare_v3(db, sql.data(), int(sql.size()), SQLITE_PREPARE_PERSISTENT, &m_stmt, nullptr) != SQLITE_OK)
        return fail(sql);
    return true;
}

SqliteStatement &SqliteStatement::text(std::string_view value)
{
    sqlite3_bind_text(m_stmt, ++m_bound, value.data(), int(value.size()), SQLITE_TRANSIENT);
    return *this;
}

SqliteStatement &SqliteStatement::integer(qint64 value)
{
    sqlite3_bind_int64(m_stmt, ++m_bound, value);
    return *this;
}

SqliteStatement &SqliteStatement::real(double value)
{
    sqlite3_bind_double(m_stmt, ++m_bound, value);
    return *this;
}

SqliteStatement &SqliteStatement::null()
{
    sqlite3_bind_null(m_stmt, ++m_bound);
    return *this;
}

SqliteStatement &SqliteStatement::values(const QVariantList &values)
{
    for (const QVariant &v : values) {
        if (v.isNull()) {
            null();
            continue;
        }
        switch (v.metaType().id()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::Bool:
            integer(v.toLongLong());
            break;
        case QMetaType::Double:
        case QMetaType::Float:
            real(v.toDouble());
            break;
        default: {
            const QByteArray utf8 = v.toString().toUtf8();
            text(std::string_view(utf8.constData(), size_t(utf8.size())));
            break;
        }
        }
    }
    return *this;
}

bool SqliteStatement::exec()
{
    if (!m_stmt)
        return false;
    // A value list that no longer matches the column list would shift every
    // later value into the wrong column.
    if (m_bound != sqlite3_bind_parameter_count(m_stmt)) {
        m_error = QStringLiteral("%1 values bound for %2 parameters: %3")
                      .arg(m_bound)
                      .arg(sqlite3_bind_parameter_count(m_stmt))
                      .arg(QString::fromUtf8(sqlite3_sql(m_stmt)));
        reset();
        return false;
    }
    const bool done = sqlite3_step(m_stmt) == SQLITE_DONE;
    if (!done)
        fail(sqlite3_sql(m_stmt));
    reset();
    return done;
}

bool SqliteStatement::next()
{
    if (!m_stmt)
        return false;
    const int rc = sqlite3_step(m_stmt);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        fail(sqlite3_sql(m_stmt));
    return rc == SQLITE_ROW;
}

qint64 SqliteStatement::columnInt(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

std::string_view SqliteStatement::columnText(int column) const
{
    const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(m_stmt, column))) : std::string_view();
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    m_bound = 0;
}

bool SqliteStatement::fail(std::string_view sql)
{
    m_error = QString::fromUtf8(sqlite3_errmsg(m_db)) + QStringLiteral(" | ")
              + QString::fromUtf8(sql.data(), qsizetype(sql.size())).left(300);
    return false;
}

} // namespace Quellon
