#include "ClientListQuery.h"

#include "ListCodeKinds.h"
#include "ListFilter.h"
#include "LoginSession.h"
#include "RecordSummary.h"
#include "SqlDialect.h"

namespace Quellon {

namespace {

SearchField text(const QString &caption, const QString &column, SearchField::Match match = SearchField::StartsWith)
{
    return SearchField::typed(caption, column, match);
}

SearchField codes(const QString &caption, const QString &column, const QString &kind,
                  SearchField::Match match = SearchField::StartsWith)
{
    return SearchField::fromCodes(caption, column, match, kind);
}

const ListFilter &clientFilter()
{
    static const ListFilter filter(
        {
            text(QStringLiteral("编号"), QStringLiteral("F_code")),
            text(QStringLiteral("客户姓名"), QStringLiteral("F_cltName"), SearchField::Contains),
            SearchField::fromValues(QStringLiteral("性别"), QStringLiteral("F_sex"), SearchField::StartsWith,
                                    {QStringLiteral("男"), QStringLiteral("女")}),
            text(QStringLiteral("联系电话"), QStringLiteral("F_cltPhone"), SearchField::Contains),
            codes(QStringLiteral("证件名称"), QStringLiteral("F_ZJname"), ListCodeKinds::idDocument(), SearchField::Contains),
            text(QStringLiteral("证件号码"), QStringLiteral("F_ZJcode")),
            text(QStringLiteral("联系地址"), QStringLiteral("F_cltAddress")),
            text(QStringLiteral("工作状况"), QStringLiteral("F_cltWork")),
            codes(QStringLiteral("交易类型"), QStringLiteral("F_JYtype"), ListCodeKinds::transaction()),
            text(QStringLiteral("楼盘名称"), QStringLiteral("F_WYname")),
            text(QStringLiteral("要求地段"), QStringLiteral("F_DDname")),
            text(QStringLiteral("要求区域"), QStringLiteral("F_area")),
            text(QStringLiteral("房价要求"), QStringLiteral("F_JGname")),
            text(QStringLiteral("房屋用途"), QStringLiteral("F_YT")),
            text(QStringLiteral("配套设施"), QStringLiteral("F_sheShi")),
            codes(QStringLiteral("信息来源"), QStringLiteral("F_laiyuan"), ListCodeKinds::source()),
            codes(QStringLiteral("状态"), QStringLiteral("F_status"), ListCodeKinds::status()),
            codes(QStringLiteral("业 务 员"), QStringLiteral("F_empName"), ListCodeKinds::salesperson()).maskedOnlyField(),
        },
        // "求租求购" clients look for both.
        {QStringLiteral("F_cltType"), QStringLiteral("F_JYtype"), QStringLiteral("求租"), QStringLiteral("求购")});
    return filter;
}

} // namespace

GridQuery ClientListQuery::query(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect)
{
    GridQuery query(SqlFragment(QStringLiteral("select * from ") + table()) + SqlFragment::where(filter(search, session, dialect)),
                    QStringLiteral("F_ID"));
    query.setRowTable(table());
    return query;
}

SqlFragment ClientListQuery::filter(const ListSearch &search, const LoginSession &session, const SqlDialect &dialect)
{
    return clientFilter().filter(search, session, dialect);
}

const QList<SearchField> &ClientListQuery::searchFields()
{
    return clientFilter().fields();
}

QList<int> ClientListQuery::offeredFields(const LoginSession &session)
{
    return clientFilter().offeredFields(session);
}

QStringList ClientListQuery::maskedFields()
{
    return {QStringLiteral("F_cltName"), QStringLiteral("F_cltPhone")};
}

QString ClientListQuery::summaryText(const QVariantMap &client)
{
    static const QList<RecordSummary::Line> lines{
        {QStringLiteral("  编    号:"), QStringLiteral("F_code")},
        {QStringLiteral("  客户名称:"), QStringLiteral("F_cltName")},
        {QStringLiteral("  性    别:"), QStringLiteral("F_sex")},
        {QStringLiteral("  联系电话:"), QStringLiteral("F_cltPhone")},
        {QStringLiteral("  客户分类:"), QStringLiteral("F_cltType")},
        {QStringLiteral("  证件名称:"), QStringLiteral("F_ZJname")},
        {QStringLiteral("  证件号码:"), QStringLiteral("F_ZJcode")},
        {QStringLiteral("  联系地址:"), QStringLiteral("F_cltAddress")},
        {QStringLiteral("  工作状况:"), QStringLiteral("F_cltWork")},
        {},
        {},
        {QStringLiteral("  交易类型:"), QStringLiteral("F_JYtype")},
        {QStringLiteral("  楼盘名称:"), QStringLiteral("F_WYname")},
        {QStringLiteral("  要求地段:"), QStringLiteral("F_DDname")},
        {QStringLiteral("  要求区域:"), QStringLiteral("F_area")},
        {QStringLiteral("  房价要求:"), QStringLiteral("F_JGname")},
        {QStringLiteral("  房屋用途:"), QStringLiteral("F_YT")},
        {QStringLiteral("  配套设施:"), QStringLiteral("F_sheShi")},
        {QStringLiteral("  其他要求:"), QStringLiteral("F_memo1")},
    };
    return RecordSummary::text(client, lines);
}

} // namespace Quellon
