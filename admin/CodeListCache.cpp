#include "CodeListCache.h"

#include "Database.h"
#include "DatabaseTransaction.h"

#include <QSqlQuery>

namespace Quellon {

CodeListCache::CodeListCache(Database &dm)
    : m_dm(dm)
{
}

bool CodeListCache::readNames(Database &db, const QString &kind, QStringList &names)
{
    return db.readList(SqlFragment(QStringLiteral("select F_name from t_code where F_type = ? order by F_ID"), {kind}), names);
}

bool CodeListCache::load(const QString &kind)
{
    m_kind = kind;
    m_read.clear();
    m_deleted.clear();
    QSqlQuery query;
    query.setForwardOnly(true);
    const bool ok = m_dm.openQuery(QStringLiteral("Select F_ID, F_Name From t_code where F_type = :kind order by F_ID"), query,
                                   {{QStringLiteral(":kind"), kind}});
    while (ok && query.next()) {
        const QString name = query.value(1).toString();
        m_read.append(Row{query.value(0).toLongLong(), name, name});
    }
    m_rows = m_read;
    return ok;
}

void CodeListCache::setName(int row, const QString &name)
{
    m_rows[row].name = name;
}

int CodeListCache::append()
{
    m_rows.append(Row{});
    return int(m_rows.size()) - 1;
}

void CodeListCache::remove(int row)
{
    if (m_rows.at(row).id != 0)
        m_deleted << m_rows.at(row).id;
    m_rows.removeAt(row);
}

void CodeListCache::discard()
{
    m_rows = m_read;
    m_deleted.clear();
}

bool CodeListCache::save()
{
    DatabaseTransaction transaction(m_dm);
    if (!transaction.isActive())
        return false;
    for (const qint64 id : std::as_const(m_deleted)) {
        if (!m_dm.execute(QStringLiteral("delete from t_code where F_ID = :id"), {{QStringLiteral(":id"), id}}))
            return false;
    }
    for (const Row &row : std::as_const(m_rows)) {
        bool ok = true;
        if (row.id == 0 && !row.name.isEmpty()) {
            ok = m_dm.execute(QStringLiteral("insert into t_code(F_type,F_Name) values(:type,:name)"),
                              {{QStringLiteral(":type"), m_kind}, {QStringLiteral(":name"), row.name}});
        } else if (row.id != 0 && row.name != row.storedName) {
            ok = m_dm.execute(QStringLiteral("update t_code set F_Name = :name, F_type = :type where F_ID = :id"),
                              {{QStringLiteral(":name"), row.name}, {QStringLiteral(":type"), m_kind}, {QStringLiteral(":id"), row.id}});
        }
        if (!ok)
            return false;
    }
    if (!transaction.commit())
        return false;
    return load(m_kind);
}

} // namespace Quellon
