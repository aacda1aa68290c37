#pragma once

#include "ColumnMasking.h"
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
class KeyReadWorker;

// A read-only table model over a grid query that holds only the ordered keys
// of its rows (8 bytes a row) and reads the rows themselves in chunks as the
// view asks for them. Sorting runs in the database; footer sums too.
//
// Rows are read while the view paints, so nothing on that path asks the user
// anything: a failed read leaves its cells empty and is announced once by
// readFailed(), and a row found deleted leaves the list from the event loop.
//
// Cells of masked columns on other salespersons' rows (see ColumnMasking)
// never leave the model: not in any role, not through value(), a search or a
// footer sum.
class GridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    explicit GridModel(Database &dm, QObject *parent = nullptr);
    ~GridModel() override;

    void setColumns(const GridColumns &columns);
    const GridColumns &columns() const { return m_columns; }
    int columnOfField(const QString &field) const;

    // Whose contact data is hidden, and in which columns. The rows are read
    // again: each then carries its salesperson, shown or not.
    void setMasking(const ColumnMasking &masking);
    const ColumnMasking &masking() const { return m_masking; }
    bool isColumnMasked(int column) const { return m_maskedColumns.value(column, false); }

    // Runs the query (again); false when it failed, which was reported to the user.
    // While a requested query is still being read, these run that query.
    bool setQuery(const GridQuery &query);
    bool reload();
    // The query whose rows are listed; a requested one takes its place when
    // its keys are in.
    const GridQuery &query() const { return m_query; }
    bool isOpen() const { return m_open; }
    void close();

    // Runs a query without holding up the caller: its keys are read on a
    // thread of the model's own while the rows listed so far stay; once they
    // are in, the model is reset to them and reloaded() follows. A newer
    // request, or any of the synchronous runs above, stops one still being
    // read, whose keys then never show. A failure empties the list and is
    // announced once by readFailed() (nothing is shown to the user from
    // here). Like setQuery(), a query without a sort keeps the present one.
    void requestQuery(const GridQuery &query);
    bool isLoading() const { return m_loading; }

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
    // The stored value of a cell (not formatted); the mask where it is hidden.
    QVariant value(int row, int column) const;
    // Re-reads one row after it was changed elsewhere; a row deleted since
    // leaves the list at once.
    void refreshRow(qint64 key);

    // The first row, in list order, whose column's stored text starts with
    // text (letter case of Latin letters ignored); -1 when none, when the
    // search failed (logged: typing must not open windows), and always in a
    // masked column, where finding a row would tell what it holds.
    int findPrefix(int column, const QString &text) const;

    // The footer of a column as shown: "…" while its sum is being worked out,
    // footerErrorMark() when that failed; nothing for the sum of a masked column.
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
    // The same for the connection requested queries read their keys on.
    void setKeyConnectionHook(std::function<void(sqlite3 *)> hook) { m_keyHook = std::move(hook); }

    // For tests and benchmarks: how many row chunks are held.
    int cachedChunks() const { return m_cache.chunkCount(); }

signals:
    // After every run of the query (also a failed one), and when the keys of
    // a requested query are in (or it failed).
    void reloaded();
    void footerChanged();
    // Rows could not be read; their cells stay empty. Sent once until the
    // query has run again successfully, and possibly from inside data(),
    // while a view paints: a receiver that shows the message connects with
    // Qt::QueuedConnection. The text is Chinese, for the user; the engine's
    // own went to the log.
    // A requested query that failed is announced here too, once.
    void readFailed(const QString &message);

private:
    bool loadKeys(QList<qint64> &keys);
    void resetKeys(const QList<qint64> &keys, bool open);
    void loadSums();
    void startSumThread();
    void stopSumThread();
    void sumsArrived(quint64 token, const QVariantList &values, const QString &error);
    void sendKeyRequest();
    void keysArrived(quint64 token, const QList<qint64> &keys, const QSqlError &error);
    // Makes a requested query still being read the model's query, so that
    // a synchronous run runs it; cancelRequest() just drops it.
    void adoptRequest();
    void cancelRequest();
    void startKeyThread();
    void stopKeyThread();
    void databaseConnectionChanged(bool connected);
    void updateMaskedColumns();
    // A cell as stored, or, when masking hides it, as shown (*hidden set).
    QVariant cell(int row, int column, bool *hidden) const;
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

    ColumnMasking m_masking;
    QVector<bool> m_maskedColumns; // by column
    // Rows carry their salesperson after the columns' values when masking applies.
    bool m_rowsCarrySalesperson = false;

    GridQuery m_requested;     // the query whose keys are being read
    bool m_loading = false;
    quint64 m_keysToken = 0;   // keys of an older request are dropped
    std::function<void(sqlite3 *)> m_keyHook;
    QThread *m_keyThread = nullptr;
    KeyReadWorker *m_keyWorker = nullptr; // lives on m_keyThread

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
