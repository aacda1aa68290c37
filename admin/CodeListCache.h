#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace Quellon {

class Database;

// The rows of one code list as the code-list window edits them: changes,
// new rows and deletions stay here until they are written together or
// thrown away together.
class CodeListCache
{
public:
    explicit CodeListCache(Database &dm);

    // The names of one code list in stored order, blank ones left out.
    static bool readNames(Database &db, const QString &kind, QStringList &names);

    // Reads the rows of one kind in the order they were stored; the cache
    // then holds no changes.
    bool load(const QString &kind);
    QString kind() const { return m_kind; }

    int rowCount() const { return int(m_rows.size()); }
    QString name(int row) const { return m_rows.at(row).name; }
    void setName(int row, const QString &name);
    // A new empty row at the end; returns its index.
    int append();
    // A row appended and never typed into: it will not be stored.
    bool isUntouchedNew(int row) const { return m_rows.at(row).id == 0 && m_rows.at(row).name.isEmpty(); }
    void remove(int row);
    // Back to the rows as last read.
    void discard();

    // Writes every change in one transaction, new rows under the current
    // kind, then reads the rows again. A new row never typed into is not
    // stored. On failure the table and the cache keep their contents.
    bool save();

private:
    struct Row
    {
        qint64 id = 0; // 0 for a row not stored yet
        QString name;
        QString storedName;
    };

    Database &m_dm;
    QString m_kind;
    QList<Row> m_read;
    QList<Row> m_rows;
    QList<qint64> m_deleted;
};

} // namespace Quellon
