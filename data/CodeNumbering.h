#pragma once

#include "SqlFragment.h"

#include <QString>

namespace Quellon {

class Database;

// Record codes such as a house's F_code: the largest code in use, counted on
// by one, keeping its prefix and the width of its counter.
class CodeNumbering
{
public:
    explicit CodeNumbering(Database &db) : m_db(db) {}

    // The code after the largest one the statement yields, with a counter of
    // `digits` digits. *ok is false when the counter is not all digits (the
    // result then repeats the prefix and the old counter) or the read fails.
    QString next(const SqlFragment &maxCodeQuery, int digits, bool *ok = nullptr);
    static QString after(const QString &maxCode, int digits, bool *ok = nullptr);

private:
    Database &m_db;
};

} // namespace Quellon
