#include "RecordActions.h"

#include "ClientListQuery.h"
#include "Database.h"
#include "HouseListQuery.h"
#include "ListFilter.h"
#include "LoginSession.h"
#include "Messages.h"

namespace Quellon {

namespace {
// F_flag of a record in the recycle bin.
constexpr int RecycledFlag = 2;
} // namespace

QString RecordActions::table() const
{
    return m_kind == Houses ? HouseListQuery::table() : ClientListQuery::table();
}

QString RecordActions::copyRefusal(const LoginSession &session, const QString &salesperson, bool listEmpty) const
{
    if (listEmpty)
        return m_kind == Houses ? QStringLiteral("房源记录是空，不能复制！") : QStringLiteral("客源记录是空，不能复制！");
    if (!session.mayChange(salesperson))
        return m_kind == Houses ? QStringLiteral("此房产记录不是当前业务员的，您不能复制!")
                                : QStringLiteral("此客户记录不是当前业务员的，您不能复制!");
    return {};
}

QString RecordActions::deleteRefusal(const LoginSession &session, const QString &salesperson) const
{
    if (!session.mayChange(salesperson))
        return m_kind == Houses ? QStringLiteral("此房产记录不是当前业务员的，您不能删除!")
                                : QStringLiteral("此客户记录不是当前业务员的，您不能删除!");
    return {};
}

QString RecordActions::deleteQuestion(const QString &name) const
{
    return m_kind == Houses ? QStringLiteral("真的要删除物业名称为 “") + name + QStringLiteral("”的房源记录吗？")
                            : QStringLiteral("真的要删除客户名称为 “") + name + QStringLiteral("”的客户记录吗？");
}

bool RecordActions::moveToRecycleBin(Database &db, qint64 id) const
{
    // Only a live record moves: one another workstation deleted or recycled
    // since the list was read must not count as done here.
    const SqlFragment update = SqlFragment(QStringLiteral("update ") + table() + QStringLiteral(" set F_flag = ?"), {RecycledFlag})
                               + SqlFragment::where(SqlFragment::equals(QStringLiteral("F_ID"), id) && ListFilter::live());
    if (!db.execute(update))
        return false;
    if (db.rowsAffected() == 0) {
        showMessage(m_kind == Houses ? QStringLiteral("此房源记录已被删除或已移入回收站，请刷新列表后再试！")
                                     : QStringLiteral("此客户记录已被删除或已移入回收站，请刷新列表后再试！"),
                    MessageKind::Warning);
        return false;
    }
    return true;
}

} // namespace Quellon
