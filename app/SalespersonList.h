#pragma once

#include <QString>
#include <QStringList>

namespace Quellon {

// The salesperson list of an operator's data scope as OperList.F_empQX keeps
// it: single-quoted names joined by commas ('A','B'), a quote inside a name
// doubled. A stored format, read and written here; it never becomes SQL.
class SalespersonList
{
public:
    // The names of a stored list; text outside quotes is ignored.
    static QStringList parse(const QString &stored);
    static QString format(const QStringList &names);
};

} // namespace Quellon
