#pragma once

#include <QList>
#include <QString>
#include <QVariantMap>

namespace Quellon {

// The text of a record that the pages show beside the list and copy to the
// clipboard: one caption and stored value a line, below an empty line.
class RecordSummary
{
public:
    struct Line
    {
        QString caption; // empty for an empty line
        QString column;
    };

    static QString text(const QVariantMap &record, const QList<Line> &lines);
    // The value of a column, whatever letter case the record's keys have:
    // the engine hands column names back as the statement or schema spell them.
    static QVariant value(const QVariantMap &record, const QString &column);
};

} // namespace Quellon
