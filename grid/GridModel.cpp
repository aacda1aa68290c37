#include "GridModel.h"

#include "DisplayFormat.h"
#include "Messages.h"
#include "SqliteStatement.h"
#include "Database.h"

#include <QCoreApplication>
#include <QDebug>
#include <QPointer>
#include <QThreadPool>
#include <QTimer>
#include <QUuid>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>

namespace Quellon {

GridModel::GridModel(Database &dm, QObject *parent)
    : QAbstractTableModel(parent), m_dm(dm), m_latestSums(std::make_shared<std::atomic<quint64>>(0))
{
}

GridModel::~GridModel()
{
    // Whatever is still queued is of no use to anyone now; a sum already
    // running finishes on its own and finds nobody to tell.
    m_latestSums->store(0);
}

void GridModel::setColumns(const GridColumns &columns)
{
    beginResetModel();
    m_columns = columns;
    m_cache.clear();
    m_sums.clear();
    endResetModel();
    if (m_open)
        loadSums();
}

int GridModel::columnOfField(const QString &field) const
{
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).field.compare(field, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool GridModel::setQuery(const GridQuery &query)
{
    const GridQuery::Sort sort = m_query.sort();
    m_query = query;
    // A new statement keeps the user's sort: the list is the same list, narrowed.
    if (m_query.sort().isEmpty())
        m_query.setSort(sort);
    return reload();
}

bool GridModel::setSort(const GridQuery::Sort &sort)
{
    m_query.setSort(sort);
    return m_query.isEmpty() ? false : reload();
}

void GridModel::close()
{
    beginResetModel();
    m_keys.clear();
    m_cache.clear();
    m_sums.clear();
    m_open = false;
    endResetModel();
}

bool GridModel::reload()
{
    beginResetModel();
    m_cache.clear();
    m_open = !m_query.isEmpty() && loadKeys();
    if (!m_open)
        m_keys.clear();
    endResetModel();
    if (m_open)
        loadSums();
    emit reloaded();
    return m_open;
}

bool GridModel::loadKeys()
{
    m_keys.clear();
    const SqlFragment sql = m_query.keysSql();
    // The keys of a whole list are read on the engine's own interface: through
    // the driver each row would cost several times the engine's work.
    if (sqlite3 *handle = SqliteStatement::handleOf(m_dm.database())) {
        SqliteStatement keys;
        if (keys.prepare(handle, sql.sql().toStdString())) {
            keys.values(sql.values());
            while (keys.next())
                m_keys.append(keys.columnInt(0));
            if (keys.errorText().isEmpty())
                return true;
        }
        qWarning().noquote() << "grid keys:" << keys.errorText();
        m_keys.clear();
    }
    QSqlQuery q;
    q.setForwardOnly(true);
    if (!m_dm.openQuery(sql, q))
        return false;
    while (q.next())
        m_keys.append(q.value(0).toLongLong());
    return true;
}

void GridModel::loadSums()
{
    QStringList fields;
    QList<int> columns;
    for (int i = 0; i < m_columns.size(); ++i) {
        if (m_columns.at(i).footer == GridColumn::FooterSum) {
            fields << m_columns.at(i).field;
            columns << i;
        }
    }
    m_sums = QVector<QVariant>(m_columns.size());
    const quint64 token = ++m_sumsToken;
    m_sumsPending = !fields.isEmpty() && m_open;
    if (!m_sumsPending)
        return;
    const SqlFragment sql = m_query.sumsSql(fields);
    const QString source = m_dm.database().connectionName();
    const QStringList setup = m_dm.dialect().connectionSetup();
    QPointer<GridModel> self(this);
    m_latestSums->store(token);
    // The worker starts from the event loop, after the rows just read have been
    // painted: on a machine of two cores it would otherwise slow that paint
    // down. A request that a newer one has overtaken is dropped before it
    // reads anything.
    QTimer::singleShot(0, this, [job = std::function<void()>([self, token, sql, source, setup, columns, latest = m_latestSums] {
        if (latest->load() != token)
            return;
        // A connection belongs to the thread that opened it: the worker opens
        // its own on the same database.
        QVector<QVariant> values;
        QString error;
        const QString name = QStringLiteral("sums-") + QUuid::createUuid().toString(QUuid::Id128);
        {
            QSqlDatabase db = QSqlDatabase::cloneDatabase(source, name);
            if (db.open()) {
                QSqlQuery q(db);
                for (const QString &statement : setup)
                    q.exec(statement);
                q.setForwardOnly(true);
                bool ran = q.prepare(sql.sql());
                if (ran) {
                    Database::bind(q, sql.values());
                    ran = q.exec();
                }
                if (ran && q.next()) {
                    for (int i = 0; i < columns.size(); ++i)
                        values << q.value(i);
                } else {
                    error = q.lastError().text();
                }
            } else {
                error = db.lastError().text();
            }
        }
        QSqlDatabase::removeDatabase(name);
        QMetaObject::invokeMethod(
            qApp,
            [self, token, columns, values, error] {
                if (!self || token != self->m_sumsToken)
                    return;
                if (!error.isEmpty())
                    qWarning().noquote() << "grid footer sums:" << error;
                for (int i = 0; i < columns.size() && i < values.size(); ++i)
                    self->m_sums[columns.at(i)] = values.at(i);
                self->m_sumsPending = false;
                emit self->footerChanged();
            },
            Qt::QueuedConnection);
    })] { QThreadPool::globalInstance()->start(job); });
}

bool GridModel::loadChunk(int chunk) const
{
    const int first = chunk * m_cache.chunkSize();
    const int last = qMin(first + m_cache.chunkSize(), int(m_keys.size()));
    if (first >= last)
        return false;
    const QList<qint64> keys(m_keys.cbegin() + first, m_keys.cbegin() + last);
    QSqlQuery q;
    q.setForwardOnly(true);
    QVector<RowCache::Row> rows(last - first);
    if (m_dm.openQuery(m_query.rowsSql(keys), q)) {
        const QSqlRecord record = q.record();
        const int keyField = record.indexOf(m_query.keyField().section(QLatin1Char('.'), -1));
        QVector<int> fieldOf(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c)
            fieldOf[c] = record.indexOf(m_columns.at(c).field);
        QHash<qint64, int> position;
        position.reserve(keys.size());
        for (int i = 0; i < keys.size(); ++i)
            position.insert(keys.at(i), i);
        while (q.next()) {
            const auto at = position.constFind(q.value(keyField).toLongLong());
            if (at == position.constEnd())
                continue;
            RowCache::Row row(m_columns.size());
            for (int c = 0; c < m_columns.size(); ++c) {
                if (fieldOf.at(c) >= 0)
                    row[c] = q.value(fieldOf.at(c));
            }
            rows[*at] = std::move(row);
        }
    }
    // A row deleted since the keys were read stays as an empty row until the
    // next run of the query, rather than shifting the rows under the user.
    for (RowCache::Row &row : rows) {
        if (row.isEmpty())
            row = RowCache::Row(m_columns.size());
    }
    m_cache.store(chunk, std::move(rows));
    return true;
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::value(int row, int column) const
{
    if (row < 0 || row >= m_keys.size() || column < 0 || column >= m_columns.size())
        return {};
    const RowCache::Row *r = m_cache.row(row);
    if (!r) {
        loadChunk(m_cache.chunkOf(row));
        r = m_cache.row(row);
    }
    return r ? r->value(column) : QVariant();
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const GridColumn &column = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return DisplayFormat::format(value(index.row(), index.column()), column.displayFormat);
    case Qt::EditRole:
        return value(index.row(), index.column());
    case Qt::TextAlignmentRole:
        switch (column.alignment) {
        case GridColumn::AlignCenter:
            return int(Qt::AlignCenter);
        case GridColumn::AlignRight:
            return int(Qt::AlignRight | Qt::AlignVCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    default:
        return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).caption;
    if (role == Qt::TextAlignmentRole)
        return int(Qt::AlignCenter);
    return {};
}

int GridModel::rowOfKey(qint64 key) const
{
    return int(m_keys.indexOf(key));
}

void GridModel::refreshRow(qint64 key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    m_cache.dropChunkOf(row);
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    loadSums();
}

int GridModel::findPrefix(int column, const QString &text) const
{
    if (!m_open || column < 0 || column >= m_columns.size() || text.isEmpty())
        return -1;
    const QString field = m_columns.at(column).field;
    if (!GridQuery::isIdentifier(field))
        return -1;
    const SqlFragment condition = m_dm.dialect().startsWith(QStringLiteral("q.") + field.section(QLatin1Char('.'), -1), text);
    QSqlQuery q;
    q.setForwardOnly(true);
    if (!m_dm.openQuery(m_query.searchSql(condition), q) || !q.next())
        return -1;
    return rowOfKey(q.value(0).toLongLong());
}

QString GridModel::footerText(int column) const
{
    if (column < 0 || column >= m_columns.size())
        return {};
    const GridColumn &c = m_columns.at(column);
    if (c.footer == GridColumn::FooterText)
        return c.footerText;
    if (c.footer == GridColumn::FooterSum) {
        if (m_sumsPending)
            return QStringLiteral("…");
        const QVariant sum = m_sums.value(column);
        return DisplayFormat::format(sum.isNull() ? QVariant(0.0) : QVariant(sum.toDouble()), c.displayFormat);
    }
    return {};
}

} // namespace Quellon
