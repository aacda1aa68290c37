#pragma once

#include <QHash>
#include <QList>
#include <QVariant>
#include <QVector>

namespace Quellon {

// The rows of a grid that have been read, in chunks of consecutive rows;
// the chunks used least recently are dropped once more than a limit are
// held, so a list of any length costs a bounded amount of memory.
class RowCache
{
public:
    using Row = QVector<QVariant>;

    explicit RowCache(int chunkSize = 256, int maxChunks = 32) : m_chunkSize(chunkSize), m_maxChunks(maxChunks) {}

    int chunkSize() const { return m_chunkSize; }
    int chunkOf(int row) const { return row / m_chunkSize; }
    bool contains(int row) const { return m_chunks.contains(chunkOf(row)); }
    int chunkCount() const { return int(m_chunks.size()); }

    // The row if its chunk is held (and marks the chunk as used), else null.
    const Row *row(int row);
    // Stores a whole chunk; rows are in order from the chunk's first row.
    void store(int chunk, QVector<Row> rows);
    void dropChunkOf(int row) { m_chunks.remove(chunkOf(row)); m_used.removeAll(chunkOf(row)); }
    // Drops the chunk of a row and every chunk after it: what rows removed
    // there shift into other places.
    void dropFrom(int row);
    // Puts a row read again in place when its chunk is held; false otherwise.
    bool replace(int row, Row value);
    void clear()
    {
        m_chunks.clear();
        m_used.clear();
    }

private:
    void touch(int chunk);

    int m_chunkSize;
    int m_maxChunks;
    QHash<int, QVector<Row>> m_chunks;
    QList<int> m_used; // most recent last
};

} // namespace Quellon
