#include "HouseListQuery.h"

#include "ListCodeKinds.h"
#include "ListFilter.h"
#include "LoginSession.h"
#include "RecordSummary.h"
#include "SqlDialect.h"

namespace Quellon {

namespace {

// Typed words may stand anywhere in the free text of a column; a column
// filled from a code list begins with the name chosen there.
SearchField text(const QString &caption, const QString &column)
{
    return SearchField::typed(caption, column, SearchField::Contains);
}

SearchField codes(const QString &caption, const QString &column, const QString &kind)
{
    return SearchField::fromCodes(caption, column, SearchField::StartsWith, kind);
}

const ListFilter &houseFilter()
{
    static const ListFilter filter(
        {
            text(QStringLiteral("编号"), QStringLiteral("F_code")),
            text(QStringLiteral("居住圈"), QStringLiteral("F_name")),
            codes(QStringLiteral("房屋类型"), QStringLiteral("F_FWtype"), ListCodeKinds::houseType()),
            codes(QStringLiteral("房屋户型"), QStringLiteral("F_FWhtype"), ListCodeKinds::houseLayout()),
            text(QStringLiteral("所在楼层"), QStringLiteral("F_louceng")),
            text(QStringLiteral("建筑面积"), QStringLiteral("F_jzMianji")),
            text(QStringLiteral("装修状况"), QStringLiteral("F_jzMem")),
            text(QStringLiteral("小区名称"), QStringLiteral("F_xqName")),
            text(QStringLiteral("房源地址"), QStringLiteral("F_FYaddress")),
            text(QStringLiteral("附近超市"), QStringLiteral("F_chaoshi")),
            text(QStringLiteral("附近医院"), QStringLiteral("F_yiyuan")),
            text(QStringLiteral("家用电器"), QStringLiteral("F_dianqi")),
            text(QStringLiteral("家俱"), QStringLiteral("F_jiaju")),
            text(QStringLiteral("配套设施"), QStringLiteral("F_sheshi")),
            text(QStringLiteral("附近学校"), QStringLiteral("F_xuexiao")),
            text(QStringLiteral("公交线路"), QStringLiteral("F_gongjiao")),
            codes(QStringLiteral("权属性质"), QStringLiteral("F_qsType"), ListCodeKinds::ownership()),
            codes(QStringLiteral("土地性质"), QStringLiteral("F_tdType"), ListCodeKinds::landUse()),
            text(QStringLiteral("备注"), QStringLiteral("F_memo3")),
            text(QStringLiteral("用途"), QStringLiteral("F_YT")),
            text(QStringLiteral("产权描述"), QStringLiteral("F_memo4")),
            codes(QStringLiteral("信息来源"), QStringLiteral("F_Laiyuan"), ListCodeKinds::source()),
            codes(QStringLiteral("状态"), QStringLiteral("F_status"), ListCodeKinds::status()),
            codes(QStringLiteral("业 务 员"), QStringLiteral("F_EmpName"), ListCodeKinds::salesperson()).maskedOnlyField(),
        },
        // "租售" houses are both to rent and for sale.
        {QStringLiteral("F_area"), QStringLiteral("F_JYtype"), QStringLiteral("租"), QStringLiteral("售")});
    return filter;
}

} // namespace

GridQuery HouseListQuery::forSession(const LoginSession &session)
{
    return query(ListSearch(), session, SqlDialect());
}

GridQuery HouseListQuery::query(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect)
{
    GridQuery query(SqlFragment(QStringLiteral("select * from ") + table()) + SqlFragment::where(filter(search, session, dialect)),
                    QStringLiteral("F_code"));
    query.setRowTable(table());
    return query;
}

SqlFragment HouseListQuery::filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect)
{
    return houseFilter().filter(search, session, dialect);
}

const QList<SearchField> &HouseListQuery::searchFields()
{
    return houseFilter().fields();
}

QList<int> HouseListQuery::offeredFields(const LoginSession &session)
{
    return houseFilter().offeredFields(session);
}

QStringList HouseListQuery::maskedFields()
{
    return {QStringLiteral("F_FYaddress"), QStringLiteral("F_LXempName"), QStringLiteral("F_LXemail"), QStringLiteral("F_LXphone"),
            QStringLiteral("F_LXhandPhone")};
}

QString HouseListQuery::summaryText(const QVariantMap &house)
{
    static const QList<RecordSummary::Line> lines{
        {QStringLiteral("  房源编号:"), QStringLiteral("F_code")},
        {QStringLiteral("  物业名称:"), QStringLiteral("F_name")},
        {QStringLiteral("  房屋类型:"), QStringLiteral("F_FWtype")},
        {QStringLiteral("  房屋户型:"), QStringLiteral("F_FWhtype")},
        {QStringLiteral("  区    域:"), QStringLiteral("F_area")},
        {QStringLiteral("  楼    层:"), QStringLiteral("F_louceng")},
        {QStringLiteral("  建筑面积:"), QStringLiteral("F_jzMianji")},
        {QStringLiteral("  装修状况:"), QStringLiteral("F_jzMem")},
        {QStringLiteral("  小区名称:"), QStringLiteral("F_xqName")},
        {QStringLiteral("  房源地址:"), QStringLiteral("F_FYaddress")},
        {QStringLiteral("  交易说明:"), QStringLiteral("F_FKmem")},
    };
    return RecordSummary::text(house, lines);
}

} // namespace Quellon
