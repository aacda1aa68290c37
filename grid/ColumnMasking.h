#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

namespace Quellon {

// Which cells of a grid hide their contents from the operator: in the masked
// columns, every row that is not his own (its salesperson column, trimmed,
// is not exactly his name; letter case counts). A hidden value that is empty
// stays empty, so the mask tells nothing about a record that has no contact.
struct ColumnMasking
{
    bool enabled = false;
    QString operatorName;
    QStringList maskedFields;
    QString salespersonField = QStringLiteral("F_EmpName");

    static QString mask() { return QStringLiteral("********"); }

    // Field names are compared as the database compares them, without
    // regard to letter case; a "table.column" name counts by its column.
    bool masksField(const QString &field) const;
    // Whether a row whose salesperson column holds salesperson is the
    // operator's own. A row whose salesperson is unknown (invalid) is not.
    bool isOwnRow(const QVariant &salesperson) const;
    // The value a masked column shows on a row of salesperson.
    QVariant shown(const QVariant &salesperson, const QVariant &stored) const;
};

} // namespace Quellon
