#include "RowCache.h"

namespace Quellon {

void RowCache::touch(int chunk)
{
    if (!m_used.isEmpty() && m_used.constLast() == chunk)
        return;
    m_used.removeAll(chunk);
    m_used.append(chunk);
}

const RowCache::Row *RowCache::row(int row)
{
    const int chunk = chunkOf(row);
    auto it = m_chunks.constFind(chunk);
    if (it == m_chunks.constEnd())
        return nullptr;
    const int offset = row - chunk * m_chunkSize;
    if (offset >= it->size())
        return nullptr;
    touch(chunk);
    return &it->at(offset);
}

void RowCache::store(int chunk, QVector<Row> rows)
{
    m_chunks.insert(chunk, std::move(rows));
    touch(chunk);
    while (m_used.size() > m_maxChunks)
        m_chunks.remove(m_used.takeFirst());
}

void RowCache::dropFrom(int row)
{
    const int first = chunkOf(row);
    for (auto it = m_chunks.begin(); it != m_chunks.end();) {
        if (it.key() >= first)
            it = m_chunks.erase(it);
        else
            ++it;
    }
    m_used.removeIf([first](int chunk) { return chunk >= first; });
}

bool RowCache::replace(int row, Row value)
{
    auto it = m_chunks.find(chunkOf(row));
    const int offset = row - chunkOf(row) * m_chunkSize;
    if (it == m_chunks.end() || offset >= it->size())
        return false;
    (*it)[offset] = std::move(value);
    return true;
}

} // namespace Quellon
