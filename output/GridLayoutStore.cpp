#include "GridLayoutStore.h"

#include "Messages.h"
#include "Database.h"
#include "DatabaseTransaction.h"

#include <QSqlError>
#include <QSqlQuery>

namespace Quellon {

namespace {
const QString OperationFailed = QStringLiteral("操作失败，请检查数据连接... ");
}

GridColumns GridLayoutStore::load(const QString &layout)
{
    GridColumns columns;
    QSqlQuery q(m_dm.database());
    q.setForwardOnly(true);
    if (!q.prepare(QStringLiteral("Select * from cfg_Grid Where (F_name = :name and F_fieldname <> '') order by F_Order"))) {
        showMessage(OperationFailed, MessageKind::Error);
        return columns;
    }
    q.bindValue(QStringLiteral(":name"), layout);
    if (!q.exec()) {
        showMessage(OperationFailed + QLatin1Char('\n') + Database::explainError(q.lastError()), MessageKind::Error);
        return columns;
    }
    while (q.next()) {
        GridColumn c;
        c.field = q.value(QStringLiteral("F_fieldname")).toString();
        c.caption = q.value(QStringLiteral("F_caption")).toString();
        c.width = q.value(QStringLiteral("F_width")).toInt();
        c.visible = q.value(QStringLiteral("F_visible")).toBool();
        c.readOnly = q.value(QStringLiteral("F_readonly")).toBool();
        const int alignment = q.value(QStringLiteral("F_alignMent")).toInt();
        c.alignment = alignment >= GridColumn::AlignLeft && alignment <= GridColumn::AlignRight ? alignment : GridColumn::AlignLeft;
        c.displayFormat = q.value(QStringLiteral("F_displayFormat")).toString();
        c.footerText = q.value(QStringLiteral("F_footerValue")).toString();
        const int footer = q.value(QStringLiteral("F_footerType")).toInt();
        c.footer = footer == GridColumn::FooterText || footer == GridColumn::FooterSum ? footer : GridColumn::FooterNone;
        columns << c;
    }
    return columns;
}

bool GridLayoutStore::save(const QString &layout, const GridColumns &columns)
{
    // One layout is one picture of the grid: a failure half-way would leave
    // positions from two arrangements, so it is written whole or not at all.
    DatabaseTransaction transaction(m_dm);
    if (!transaction.isActive())
        return false;
    for (int position = 0; position < columns.size(); ++position) {
        const GridColumn &c = columns.at(position);
        const bool ok = m_dm.execute(
            QStringLiteral("update cfg_grid set F_caption = :caption,F_width = :width,F_readonly = :readonly,"
                           "F_visible = :visible,F_order = :position,F_alignMent = :alignment,"
                           "F_displayFormat = :format,F_footerValue = :footerText,F_footerType = :footer "
                           "where (F_name = :name and F_fieldname = :field) "),
            {{QStringLiteral(":caption"), c.caption},
             {QStringLiteral(":width"), c.width},
             {QStringLiteral(":readonly"), c.readOnly ? 1 : 0},
             {QStringLiteral(":visible"), c.visible ? 1 : 0},
             {QStringLiteral(":position"), position},
             {QStringLiteral(":alignment"), c.alignment},
             {QStringLiteral(":format"), c.displayFormat},
             {QStringLiteral(":footerText"), c.footerText},
             {QStringLiteral(":footer"), c.footer},
             {QStringLiteral(":name"), layout.toLower()},
             {QStringLiteral(":field"), c.field}});
        if (!ok)
            return false;
    }
    if (transaction.commit())
        return true;
    showMessage(OperationFailed, MessageKind::Error);
    return false;
}

GridColumns GridLayoutStore::withNumberFormats(GridColumns columns, const QString &amountFormat,
                                              const QString &priceFormat, const QString &valueFormat)
{
    for (GridColumn &c : columns) {
        const QString field = c.field.toLower();
        if (field.contains(QLatin1String("price")))
            c.displayFormat = priceFormat;
        else if (field.contains(QLatin1String("value")))
            c.displayFormat = valueFormat;
        else if (field.contains(QLatin1String("amount")))
            c.displayFormat = amountFormat;
    }
    return columns;
}

} // namespace Quellon
