#pragma once

#include "GridColumn.h"
#include "GridQuery.h"
#include "RowCache.h"

#include <QAbstractTableModel>

#include <QHash>
#include <QSet>
#include <QVector>

#include <functional>

class QSqlError;
class QThread;
struct sqlite3;

namespace Quellon {

class Database;
class FooterSumWorker;

// A read-only table model over a grid query that holds only the ordered keys
// of its rows (8 bytes a row) and reads the rows themselves in chunks as the
// view asks for them. Sorting runs in the database; footer sums too.
//
// Rows are read while the view paints, so nothing on that path asks the user
// anything: a failed read leaves its cells empty and is announced once by
// readFailed(), and a row found deleted leaves the list from the event loop.
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
    // The row of a key, -1 when it is not listed. Lookups after the first
    // since the keys changed go through a table rather than the keys.
    int rowOfKey(qint64 key) const;
    // The stored value of a cell (not formatted).
    QVariant value(int row, int column) const;
    // Re-reads one row after it was changed elsewhere; a row deleted since
    // leaves the list at once.
    void refreshRow(qint64 key);

    // The first row, in list order, whose column's stored text starts with
    // text (letter case of Latin letters ignored); -1 when none, and when the
    // search failed (logged: typing must not open windows).
    int findPrefix(int column, const QString &text) const;

    // The footer of a column as shown: "…" while its sum is being worked out,
    // footerErrorMark() when that failed.
    QString footerText(int column) const;
    static QString footerErrorMark() { return QStringLiteral("出错"); }
    // Sums the footer columns again, after rows changed. Sums are worked out
    // on a thread of the model's own: summing a column reads every row of the
    // list, which must not hold up its first rows. A newer request stops the
    // sum still running.
    void refreshFooter() { loadSums(); }
    bool footerPending() const { return m_sumsPending; }
    bool footerFailed() const { return m_sumsFailed; }

    // For tests: runs on the engine handle of the footer sums' connection as
    // it opens. Set it before the first sum.
    void setSumConnectionHook(std::function<void(sqlite3 *)> hook) { m_sumHook = std::move(hook); }

    // For tests and benchmarks: how many row chunks are held.
    int cachedChunks() const { return m_cache.chunkCount(); }

signals:
    // After every run of the query (also a failed one).
    void reloaded();
    void footerChanged();
    // Rows could not be read; their cells stay empty. Sent once until the
    // query has run again successfully, and possibly from inside data(),
    // while a view paints: a receiver that shows the message connects with
    // Qt::QueuedConnection. The text is Chinese, for the user; the engine's
    // own went to the log.
    void readFailed(const QString &message);

private:
    bool loadKeys();
    void loadSums();
    void cancelSums();
    void startSumThread();
    void stopSumThread();
    void sumsArrived(quint64 token, const QVariantList &values, const QString &error);
    void databaseConnectionChanged(bool connected);
    bool loadChunk(int chunk) const;
    // Reads the rows of some keys into rows, in the keys' order. A key without
    // a row leaves its row empty and goes into *missing. False when the
    // statement failed; the failure has been announced.
    bool readRows(const QList<qint64> &keys, QVector<RowCache::Row> &rows, QList<qint64> *missing) const;
    void announceReadFailure(const QSqlError &error, const QString &detail) const;
    void removeVanishedRows();
    void dropRows(int first, int last);
    void forgetRowsOfKeys()
    {
        m_rowOfKey.clear();
        m_keysScanned = false;
    }

    Database &m_dm;
    GridColumns m_columns;
    GridQuery m_query;
    QVector<qint64> m_keys;
    // Row of each key, built on the second lookup after the keys changed.
    mutable QHash<qint64, int> m_rowOfKey;
    mutable bool m_keysScanned = false;
    mutable RowCache m_cache;
    mutable QSet<qint64> m_vanished;       // keys whose rows were gone when read, not yet removed
    mutable bool m_readFailing = false;
    bool m_open = false;

    QVector<QVariant> m_sums;
    QList<int> m_sumColumns; // the columns of the newest request, in its order
    quint64 m_sumsToken = 0; // results of an older request are dropped
    bool m_sumsPending = false;
    bool m_sumsFailed = false;
    std::function<void(sqlite3 *)> m_sumHook;
    QThread *m_sumThread = nullptr;
    FooterSumWorker *m_sumWorker = nullptr; // lives on m_sumThread
};

} // namespace Quellon
