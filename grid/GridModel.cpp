#include "GridModel.h"

#include "Database.h"
#include "DisplayFormat.h"
#include "FooterSumWorker.h"
#include "KeyReadWorker.h"
#include "SqliteStatement.h"

#include <QDebug>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QThread>
#include <QTimer>

#include <algorithm>

namespace Quellon {

namespace {
// A worker on a thread of its own, owned by the model. The worker is
// destroyed on its thread as that ends, which is where its connection has
// to be closed.
template<typename Worker>
Worker *startWorker(QObject *owner, QThread *&thread, const QString &name)
{
    thread = new QThread(owner);
    thread->setObjectName(name);
    auto *worker = new Worker;
    worker->moveToThread(thread);
    QObject::connect(thread, &QThread::finished, worker, &QObject::deleteLater);
    thread->start();
    return worker;
}

template<typename Worker>
void stopWorker(QThread *&thread, Worker *&worker)
{
    if (!thread)
        return;
    worker->supersede(0);
    thread->quit();
    thread->wait();
    delete thread;
    thread = nullptr;
    worker = nullptr;
}
} // namespace

GridModel::GridModel(Database &dm, QObject *parent) : QAbstractTableModel(parent), m_dm(dm)
{
    connect(&m_dm, &Database::connectionChanged, this, &GridModel::databaseConnectionChanged);
}

GridModel::~GridModel()
{
    stopKeyThread();
    stopSumThread();
}

void GridModel::setColumns(const GridColumns &columns)
{
    beginResetModel();
    m_columns = columns;
    updateMaskedColumns();
    m_cache.clear();
    m_sums.clear();
    endResetModel();
    loadSums();
}

void GridModel::setMasking(const ColumnMasking &masking)
{
    beginResetModel();
    m_masking = masking;
    updateMaskedColumns();
    // Rows held were read without their salesperson, or for another operator.
    m_cache.clear();
    endResetModel();
    loadSums();
}

void GridModel::updateMaskedColumns()
{
    m_maskedColumns = QVector<bool>(m_columns.size(), false);
    for (int c = 0; c < m_columns.size(); ++c)
        m_maskedColumns[c] = m_masking.masksField(m_columns.at(c).field);
    m_rowsCarrySalesperson = m_maskedColumns.contains(true);
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
    adoptRequest();
    const GridQuery::Sort sort = m_query.sort();
    m_query = query;
    // A new statement keeps the user's sort: the list is the same list, narrowed.
    if (m_query.sort().isEmpty())
        m_query.setSort(sort);
    return reload();
}

bool GridModel::setSort(const GridQuery::Sort &sort)
{
    adoptRequest();
    m_query.setSort(sort);
    return m_query.isEmpty() ? false : reload();
}

void GridModel::close()
{
    cancelRequest();
    resetKeys({}, false);
}

bool GridModel::reload()
{
    adoptRequest();
    QList<qint64> keys;
    const bool open = !m_query.isEmpty() && loadKeys(keys);
    resetKeys(open ? keys : QList<qint64>(), open);
    emit reloaded();
    return m_open;
}

void GridModel::resetKeys(const QList<qint64> &keys, bool open)
{
    beginResetModel();
    m_cache.clear();
    m_vanished.clear();
    m_keys = keys;
    m_open = open;
    forgetRowsOfKeys();
    // Rows read from here on are a new start: a failure is worth telling again.
    if (m_open)
        m_readFailing = false;
    endResetModel();
    loadSums();
}

void GridModel::requestQuery(const GridQuery &query)
{
    GridQuery next = query;
    // A new statement keeps the user's sort, as setQuery() does.
    if (next.sort().isEmpty())
        next.setSort(m_loading ? m_requested.sort() : m_query.sort());
    if (next.isEmpty()) {
        // Nothing to read: the list closes at once.
        cancelRequest();
        setQuery(next);
        return;
    }
    m_requested = next;
    m_loading = true;
    sendKeyRequest();
}

void GridModel::sendKeyRequest()
{
    const quint64 token = ++m_keysToken;
    // The read still running is of no use any more: it stops now rather than
    // hold one of the two cores while the newer one waits behind it.
    if (m_keyWorker)
        m_keyWorker->supersede(token);
    // Without a connection the request waits for the database to come back.
    if (!m_dm.isConnected())
        return;
    KeyReadWorker::Request request;
    request.token = token;
    request.source = m_dm.database().connectionName();
    request.setup = m_dm.dialect().connectionSetup();
    request.sql = m_requested.keysSql();
    request.connectionHook = m_keyHook;
    startKeyThread();
    m_keyWorker->supersede(token);
    QMetaObject::invokeMethod(
        m_keyWorker, [worker = m_keyWorker, request] { worker->read(request); }, Qt::QueuedConnection);
}

void GridModel::keysArrived(quint64 token, const QList<qint64> &keys, const QSqlError &error)
{
    if (!m_loading || token != m_keysToken)
        return;
    m_loading = false;
    m_query = m_requested;
    m_requested = GridQuery();
    if (!error.isValid()) {
        resetKeys(keys, true);
        emit reloaded();
        return;
    }
    qWarning().noquote() << "grid keys:" << error.text().trimmed();
    // Rows of the list before would pass for the result of the new query.
    resetKeys({}, false);
    m_readFailing = true;
    emit readFailed(QStringLiteral("读取列表失败，列表暂时为空，请稍后刷新列表。\n") + Database::explainError(error));
    emit reloaded();
}

void GridModel::adoptRequest()
{
    if (!m_loading)
        return;
    const GridQuery requested = m_requested;
    cancelRequest();
    m_query = requested;
}

void GridModel::cancelRequest()
{
    if (!m_loading)
        return;
    m_loading = false;
    m_requested = GridQuery();
    ++m_keysToken;
    if (m_keyWorker)
        m_keyWorker->supersede(0);
}

void GridModel::startKeyThread()
{
    if (m_keyThread)
        return;
    m_keyWorker = startWorker<KeyReadWorker>(this, m_keyThread, QStringLiteral("grid-keys"));
    connect(m_keyWorker, &KeyReadWorker::keysRead, this, &GridModel::keysArrived);
}

void GridModel::stopKeyThread()
{
    stopWorker(m_keyThread, m_keyWorker);
}

bool GridModel::loadKeys(QList<qint64> &keys)
{
    keys.clear();
    const SqlFragment sql = m_query.keysSql();
    // The keys of a whole list are read on the engine's own interface: through
    // the driver each row would cost several times the engine's work.
    if (sqlite3 *handle = SqliteStatement::handleOf(m_dm.database())) {
        SqliteStatement statement;
        if (statement.prepare(handle, sql.sql().toStdString())) {
            statement.values(sql.values());
            while (statement.next())
                keys.append(statement.columnInt(0));
            if (statement.errorText().isEmpty())
                return true;
        }
        qWarning().noquote() << "grid keys:" << statement.errorText();
        keys.clear();
    }
    QSqlQuery q;
    q.setForwardOnly(true);
    if (!m_dm.openQuery(sql, q))
        return false;
    while (q.next())
        keys.append(q.value(0).toLongLong());
    return true;
}

void GridModel::loadSums()
{
    QStringList fields;
    m_sumColumns.clear();
    for (int i = 0; i < m_columns.size(); ++i) {
        // A total over a masked column would tell what its cells hold.
        if (m_columns.at(i).footer == GridColumn::FooterSum && !isColumnMasked(i)) {
            fields << m_columns.at(i).field;
            m_sumColumns << i;
        }
    }
    m_sums = QVector<QVariant>(m_columns.size());
    m_sumsFailed = false;
    const quint64 token = ++m_sumsToken;
    // Whatever sum is still running is of no use any more: it stops now
    // rather than keep one of the two cores busy.
    if (m_sumWorker)
        m_sumWorker->supersede(token);
    m_sumsPending = !fields.isEmpty() && m_open;
    // Without a connection the sums wait for the database to come back.
    if (!m_sumsPending || !m_dm.isConnected())
        return;
    FooterSumWorker::Request request;
    request.token = token;
    request.source = m_dm.database().connectionName();
    request.setup = m_dm.dialect().connectionSetup();
    request.sql = m_query.sumsSql(fields);
    request.columns = int(fields.size());
    request.connectionHook = m_sumHook;
    // The request leaves from the event loop, after the rows just read have
    // been painted: on a machine of two cores the sum would otherwise slow
    // that paint down. A request overtaken by then never leaves.
    QTimer::singleShot(0, this, [this, request] {
        if (request.token != m_sumsToken || !m_dm.isConnected())
            return;
        startSumThread();
        m_sumWorker->supersede(request.token);
        QMetaObject::invokeMethod(
            m_sumWorker, [worker = m_sumWorker, request] { worker->sum(request); }, Qt::QueuedConnection);
    });
}

void GridModel::startSumThread()
{
    if (m_sumThread)
        return;
    m_sumWorker = startWorker<FooterSumWorker>(this, m_sumThread, QStringLiteral("grid-footer-sums"));
    connect(m_sumWorker, &FooterSumWorker::summed, this, &GridModel::sumsArrived);
}

void GridModel::stopSumThread()
{
    stopWorker(m_sumThread, m_sumWorker);
}

void GridModel::sumsArrived(quint64 token, const QVariantList &values, const QString &error)
{
    if (token != m_sumsToken)
        return;
    m_sumsPending = false;
    if (!error.isEmpty()) {
        qWarning().noquote() << "grid footer sums:" << error;
        m_sumsFailed = true;
    } else {
        for (int i = 0; i < m_sumColumns.size() && i < values.size(); ++i)
            m_sums[m_sumColumns.at(i)] = values.at(i);
    }
    emit footerChanged();
}

void GridModel::databaseConnectionChanged(bool connected)
{
    if (connected) {
        if (m_sumsPending)
            loadSums();
        if (m_loading)
            sendKeyRequest();
        return;
    }
    // The file may be copied over or compacted next: the workers' connections
    // let go of it before this returns. A sum or keys one was working on are
    // asked for again once the database is back.
    if (m_sumThread && m_sumThread->isRunning()) {
        m_sumWorker->supersede(0);
        QMetaObject::invokeMethod(m_sumWorker, &FooterSumWorker::closeConnection, Qt::BlockingQueuedConnection);
    }
    if (m_keyThread && m_keyThread->isRunning()) {
        ++m_keysToken;
        m_keyWorker->supersede(0);
        QMetaObject::invokeMethod(m_keyWorker, &KeyReadWorker::closeConnection, Qt::BlockingQueuedConnection);
    }
}

bool GridModel::readRows(const QList<qint64> &keys, QVector<RowCache::Row> &rows, QList<qint64> *missing) const
{
    rows = QVector<RowCache::Row>(keys.size());
    QVector<bool> found(keys.size(), false);
    // Filled from the end, so a key listed twice (a statement with a join)
    // stands for its first place.
    QHash<qint64, int> position;
    position.reserve(keys.size());
    for (int i = int(keys.size()) - 1; i >= 0; --i)
        position.insert(keys.at(i), i);

    const int rowWidth = int(m_columns.size()) + (m_rowsCarrySalesperson ? 1 : 0);
    QSqlQuery q;
    q.setForwardOnly(true);
    QString detail;
    bool ok = m_dm.tryQuery(m_query.rowsSql(keys), q, &detail);
    if (ok) {
        const QSqlRecord record = q.record();
        const int keyField = record.indexOf(m_query.keyField().section(QLatin1Char('.'), -1));
        QVector<int> fieldOf(m_columns.size());
        for (int c = 0; c < m_columns.size(); ++c)
            fieldOf[c] = record.indexOf(m_columns.at(c).field);
        // Read whether it is shown or not. A list without it leaves every
        // row's salesperson unknown, which hides the masked cells of all.
        const int salespersonField =
            m_rowsCarrySalesperson ? record.indexOf(m_masking.salespersonField.section(QLatin1Char('.'), -1)) : -1;
        // Without the key no row can be placed; taking every row for deleted
        // would empty the list.
        if (keyField < 0) {
            ok = false;
            detail = QStringLiteral("the rows have no column %1").arg(m_query.keyField());
        }
        while (ok && q.next()) {
            const auto at = position.constFind(q.value(keyField).toLongLong());
            if (at == position.constEnd())
                continue;
            RowCache::Row row(rowWidth);
            for (int c = 0; c < m_columns.size(); ++c) {
                if (fieldOf.at(c) >= 0)
                    row[c] = q.value(fieldOf.at(c));
            }
            if (salespersonField >= 0)
                row[m_columns.size()] = q.value(salespersonField);
            rows[*at] = std::move(row);
            found[*at] = true;
        }
        if (ok && q.lastError().isValid()) {
            ok = false;
            detail = q.lastError().text();
        }
    }
    if (!ok)
        announceReadFailure(q.lastError(), detail);
    for (int i = 0; i < keys.size(); ++i) {
        if (found.at(i))
            continue;
        // The second place of a key listed twice shows the same row, rather
        // than passing for deleted.
        const int first = position.value(keys.at(i));
        if (found.at(first)) {
            rows[i] = rows.at(first);
            continue;
        }
        rows[i] = RowCache::Row(rowWidth);
        if (ok && missing)
            *missing << keys.at(i);
    }
    return ok;
}

void GridModel::announceReadFailure(const QSqlError &error, const QString &detail) const
{
    qWarning().noquote() << "grid rows:" << detail;
    if (m_readFailing)
        return;
    m_readFailing = true;
    const QString reason = m_dm.isConnected() ? Database::explainError(error) : QStringLiteral("数据库未连接。");
    emit const_cast<GridModel *>(this)->readFailed(QStringLiteral("读取列表数据失败，部分记录暂时显示为空，请稍后刷新列表。\n") + reason);
}

bool GridModel::loadChunk(int chunk) const
{
    const int first = chunk * m_cache.chunkSize();
    const int last = qMin(first + m_cache.chunkSize(), int(m_keys.size()));
    if (first >= last)
        return false;
    const QList<qint64> keys(m_keys.cbegin() + first, m_keys.cbegin() + last);
    QVector<RowCache::Row> rows;
    QList<qint64> missing;
    if (readRows(keys, rows, &missing) && !missing.isEmpty()) {
        // Rows deleted since the keys were read leave the list, though not
        // from here: the view is in the middle of asking for data.
        if (m_vanished.isEmpty())
            QMetaObject::invokeMethod(const_cast<GridModel *>(this), &GridModel::removeVanishedRows, Qt::QueuedConnection);
        for (qint64 key : std::as_const(missing))
            m_vanished.insert(key);
    }
    // A failed read is held as well, as empty rows: views paint over and
    // over, and each paint would otherwise try again and fail again.
    m_cache.store(chunk, std::move(rows));
    return true;
}

void GridModel::removeVanishedRows()
{
    QList<int> rows;
    for (qint64 key : std::as_const(m_vanished)) {
        const int row = rowOfKey(key);
        if (row >= 0)
            rows << row;
    }
    m_vanished.clear();
    if (rows.isEmpty())
        return;
    std::sort(rows.begin(), rows.end());
    // Runs of neighbouring rows go at once, the last run first, so that the
    // runs before it keep their row numbers.
    for (int end = int(rows.size()); end > 0;) {
        int start = end - 1;
        while (start > 0 && rows.at(start - 1) + 1 == rows.at(start))
            --start;
        dropRows(rows.at(start), rows.at(end - 1));
        end = start;
    }
    loadSums();
}

void GridModel::dropRows(int first, int last)
{
    beginRemoveRows({}, first, last);
    m_keys.remove(first, last - first + 1);
    forgetRowsOfKeys();
    m_cache.dropFrom(first);
    endRemoveRows();
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_keys.size());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_columns.size());
}

QVariant GridModel::cell(int row, int column, bool *hidden) const
{
    *hidden = false;
    if (row < 0 || row >= m_keys.size() || column < 0 || column >= m_columns.size())
        return {};
    const RowCache::Row *r = m_cache.row(row);
    if (!r) {
        loadChunk(m_cache.chunkOf(row));
        r = m_cache.row(row);
    }
    if (!r)
        return {};
    const QVariant stored = r->value(column);
    if (!isColumnMasked(column))
        return stored;
    // A row without its salesperson (its read failed) counts as another's.
    const QVariant salesperson = r->value(int(m_columns.size()));
    if (m_masking.isOwnRow(salesperson))
        return stored;
    *hidden = true;
    return m_masking.shown(salesperson, stored);
}

QVariant GridModel::value(int row, int column) const
{
    bool hidden = false;
    return cell(row, column, &hidden);
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    const GridColumn &column = m_columns.at(index.column());
    switch (role) {
    case Qt::DisplayRole: {
        bool hidden = false;
        const QVariant shown = cell(index.row(), index.column(), &hidden);
        return hidden ? shown : DisplayFormat::format(shown, column.displayFormat);
    }
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
    if (m_rowOfKey.isEmpty() && !m_keys.isEmpty()) {
        // A list run again looks up one key, its current row: scanning
        // 200,000 keys takes a tenth of a millisecond, filling the table five.
        // The table pays from the second lookup on.
        if (!m_keysScanned) {
            m_keysScanned = true;
            return int(m_keys.indexOf(key));
        }
        // Filled from the end, so a key listed twice (a statement with a
        // join) finds its first row.
        m_rowOfKey.reserve(m_keys.size());
        for (int row = int(m_keys.size()) - 1; row >= 0; --row)
            m_rowOfKey.insert(m_keys.at(row), row);
    }
    return m_rowOfKey.value(key, -1);
}

void GridModel::refreshRow(qint64 key)
{
    const int row = rowOfKey(key);
    if (row < 0)
        return;
    QVector<RowCache::Row> rows;
    QList<qint64> missing;
    if (!readRows({key}, rows, &missing)) {
        // The paint reads the row's chunk again, and may find the database back.
        m_cache.dropChunkOf(row);
    } else if (!missing.isEmpty()) {
        dropRows(row, row);
        loadSums();
        return;
    } else {
        m_cache.replace(row, rows.constFirst());
    }
    if (!m_columns.isEmpty())
        emit dataChanged(index(row, 0), index(row, columnCount() - 1));
    loadSums();
}

int GridModel::findPrefix(int column, const QString &text) const
{
    if (!m_open || column < 0 || column >= m_columns.size() || text.isEmpty() || isColumnMasked(column))
        return -1;
    const QString field = m_columns.at(column).field;
    if (!GridQuery::isIdentifier(field))
        return -1;
    const SqlFragment condition = m_dm.dialect().startsWith(QStringLiteral("q.") + field.section(QLatin1Char('.'), -1), text);
    QSqlQuery q;
    q.setForwardOnly(true);
    QString error;
    if (!m_dm.tryQuery(m_query.searchSql(condition), q, &error)) {
        qWarning().noquote() << "grid search:" << error;
        return -1;
    }
    if (!q.next()) {
        if (q.lastError().isValid())
            qWarning().noquote() << "grid search:" << q.lastError().text();
        return -1;
    }
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
        if (isColumnMasked(column))
            return {};
        if (m_sumsPending)
            return QStringLiteral("…");
        if (m_sumsFailed)
            return footerErrorMark();
        const QVariant sum = m_sums.value(column);
        return DisplayFormat::format(sum.isNull() ? QVariant(0.0) : QVariant(sum.toDouble()), c.displayFormat);
    }
    return {};
}

} // namespace Quellon
