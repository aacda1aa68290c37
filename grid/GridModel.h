#pragma once

#include "GridColumn.h"
#include "GridQuery.h"
#include "RowCache.h"

#include <QAbstractTableModel>

#include <atomic>
#include <memory>
#include <QVector>

namespace Quellon {

class Database;

// A read-only table model over a grid query that holds only the ordered keys
// of its rows (8 bytes a row) and reads the rows themselves in chunks as the
// view asks for them. Sorting runs in the database; footer sums too.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(Database &dm, QObject *parent = nullptr);
    ~GridModel() override;

    void setColumns(const GridColumns &columns);
    const GridColumns &columns() const { return m_columns; }
    int columnOfField(const QString &field) const;

    // Runs the query (again); false when it failed, which was reported to the user.
    bool setQuery(const GridQuery &query);
    bool reload();
    const GridQuery &query() const { return m_query; }
    bool isOpen() const { return m_open; }
    void close();

    // Sorts in the database and re-reads the keys; an empty sort restores the
    // query's own order.
    bool setSort(const GridQuery::Sort &sort);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    qint64 keyAt(int row) const { return row >= 0 && row < m_keys.size() ? m_keys.at(row) : -1; }
    int rowOfKey(qint64 key) const;
    // The stored value of a cell (not formatted).
    QVariant value(int row, int column) const;
    // Re-reads one row after it was changed elsewhere.
    void refreshRow(qint64 key);

    // The first row, in list order, whose column's stored text starts with
    // text (letter case of Latin letters ignored); -1 when none.
    int findPrefix(int column, const QString &text) const;

    // The footer of a column as shown.
    QString footerText(int column) const;
    // Sums the footer columns again, after rows changed. Sums are worked out
    // away from the user-interface thread: summing a column reads every row of
    // the list, which must not hold up its first rows.
    void refreshFooter() { loadSums(); }
    bool footerPending() const { return m_sumsPending; }

    // For tests and benchmarks: how many row chunks are held.
    int cachedChunks() const { return m_cache.chunkCount(); }

signals:
    // After every run of the query (also a failed one).
    void reloaded();
    void footerChanged();

private:
    bool loadKeys();
    void loadSums();
    bool loadChunk(int chunk) const;

    Database &m_dm;
    GridColumns m_columns;
    GridQuery m_query;
    QVector<qint64> m_keys;
    QVector<QVariant> m_sums;
    quint64 m_sumsToken = 0; // results of an older request are dropped
    std::shared_ptr<std::atomic<quint64>> m_latestSums;
    bool m_sumsPending = false;
    mutable RowCache m_cache;
    bool m_open = false;
};

} // namespace Quellon
