#include "CodeNumbering.h"

#include "Database.h"

namespace Quellon {

QString CodeNumbering::after(const QString &maxCode, int digits, bool *ok)
{
    if (ok)
        *ok = true;
    if (digits <= 0)
        digits = 1;
    QString prefix;
    QString counter;
    if (maxCode.isEmpty()) {
        counter = QString(digits, QLatin1Char('0'));
    } else {
        const int len = maxCode.size();
        prefix = len > digits ? maxCode.left(len - digits) : QString();
        counter = len > digits ? maxCode.right(digits) : maxCode;
    }
    for (const QChar c : counter) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            if (ok)
                *ok = false;
            return prefix + counter;
        }
    }
    // Add one in decimal, keeping the counter's width and leading zeros; a
    // counter of all nines wraps round to zeros.
    QString next = counter;
    for (int i = next.size() - 1; i >= 0; --i) {
        if (next[i] == QLatin1Char('9')) {
            next[i] = QLatin1Char('0');
        } else {
            next[i] = QChar(next[i].unicode() + 1);
            break;
        }
    }
    return prefix + next.right(digits);
}

QString CodeNumbering::next(const SqlFragment &maxCodeQuery, int digits, bool *ok)
{
    bool read = false;
    const QString maxCode = m_db.queryText(maxCodeQuery, &read);
    if (!read) {
        if (ok)
            *ok = false;
        return {};
    }
    return after(maxCode, digits, ok);
}

} // namespace Quellon
