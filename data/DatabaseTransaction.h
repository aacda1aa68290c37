#pragma once

#include "Database.h"

namespace Quellon {

// Rolls back unless committed: for the scope of one multi-row write.
class DatabaseTransaction
{
public:
    explicit DatabaseTransaction(Database &db) : m_db(db), m_active(db.beginTransaction()) {}
    ~DatabaseTransaction()
    {
        if (m_active)
            m_db.rollbackTransaction();
    }
    DatabaseTransaction(const DatabaseTransaction &) = delete;
    DatabaseTransaction &operator=(const DatabaseTransaction &) = delete;

    bool isActive() const { return m_active; }
    bool commit()
    {
        if (!m_active)
            return false;
        m_active = false;
        return m_db.commitTransaction();
    }

private:
    Database &m_db;
    bool m_active;
};

} // namespace Quellon
