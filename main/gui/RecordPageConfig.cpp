#include "RecordPageConfig.h"

#include "ClientListQuery.h"
#include "DetailQueries.h"
#include "GridLayoutNames.h"
#include "HouseListQuery.h"
#include "TreeCodeService.h"

namespace Quellon {

namespace {
using Field = RecordPageConfig::Field;
using DetailTab = RecordPageConfig::DetailTab;

DetailTab fieldTab(const QString &entry, const QList<Field> &fields)
{
    DetailTab tab;
    tab.entry = entry;
    tab.fields = fields;
    return tab;
}

DetailTab gridTab(const QString &entry, const QString &layout, std::function<GridQuery(qint64)> query)
{
    DetailTab tab;
    tab.entry = entry;
    tab.gridLayout = layout;
    tab.gridQuery = std::move(query);
    return tab;
}
} // namespace

RecordPageConfig RecordPageConfig::houses()
{
    RecordPageConfig c;
    c.kind = QStringLiteral("house");
    c.table = QStringLiteral("House");
    c.treeFlag = TreeCodeService::areaFlag();
    c.treeRootCaption = QStringLiteral("区域分类");
    c.transactionCaptions = {QStringLiteral("全部"), QStringLiteral("出租"), QStringLiteral("出售")};
    c.gridLayout = GridLayoutNames::HouseMain;
    c.countText = QStringLiteral("房产登记总数： %1 条  ");
    c.nameColumn = QStringLiteral("F_name");
    c.searchFields = &HouseListQuery::searchFields;
    c.offeredFields = &HouseListQuery::offeredFields;
    c.listQuery = &HouseListQuery::query;
    c.maskedFields = &HouseListQuery::maskedFields;

    c.detailTabs << fieldTab(QStringLiteral("房产信息"),
                             {{QStringLiteral("居 住 圈"), QStringLiteral("F_name")},
                              {QStringLiteral("房屋类型"), QStringLiteral("F_FWtype")},
                              {QStringLiteral("房屋户型"), QStringLiteral("F_FWhtype")},
                              {QStringLiteral("所在地区"), QStringLiteral("F_area")},
                              {QStringLiteral("所在楼层"), QStringLiteral("F_louceng")},
                              {QStringLiteral("建筑面积"), QStringLiteral("F_jzMianji")},
                              {QStringLiteral("装修状况"), QStringLiteral("F_jzMem")},
                              {QStringLiteral("建筑年月"), QStringLiteral("F_jzYear")},
                              {QStringLiteral("小区名称"), QStringLiteral("F_xqName")},
                              {QStringLiteral("房源地址"), QStringLiteral("F_FYaddress")},
                              {QStringLiteral("附近超市"), QStringLiteral("F_chaoshi")},
                              {QStringLiteral("附近医院"), QStringLiteral("F_yiyuan")},
                              {QStringLiteral("家用电器"), QStringLiteral("F_dianqi")},
                              {QStringLiteral("家    俱"), QStringLiteral("F_jiaju")},
                              {QStringLiteral("配套设施"), QStringLiteral("F_sheshi")},
                              {QStringLiteral("附近学校"), QStringLiteral("F_xuexiao")},
                              {QStringLiteral("公交线路"), QStringLiteral("F_gongjiao")},
                              {QStringLiteral("权属性质"), QStringLiteral("F_qsType")},
                              {QStringLiteral("土地性质"), QStringLiteral("F_tdType")},
                              {QStringLiteral("产权证号"), QStringLiteral("F_cqCode")},
                              {QStringLiteral("能否落户"), QStringLiteral("F_LH")},
                              {QStringLiteral("编  号"), QStringLiteral("F_code")},
                              {QStringLiteral("日  期"), QStringLiteral("F_editDate")},
                              {QStringLiteral("状  态"), QStringLiteral("F_status")},
                              {QStringLiteral("操作员"), QStringLiteral("F_OperName")},
                              {QStringLiteral("业务员"), QStringLiteral("F_EmpName")}});
    DetailTab pictures;
    pictures.entry = QStringLiteral("图片信息");
    c.detailTabs << pictures;
    c.detailTabs << fieldTab(QStringLiteral("交易方式"),
                             {{QStringLiteral("租价"), QStringLiteral("F_zuPrice")},
                              {QStringLiteral("单位"), QStringLiteral("F_dprice1")},
                              {QStringLiteral("售价(万元)"), QStringLiteral("F_salePrice")},
                              {QStringLiteral("单价(元/平方)"), QStringLiteral("F_dprice2")},
                              {QStringLiteral("交易说明"), QStringLiteral("F_FKmem"), true}});
    c.detailTabs << fieldTab(QStringLiteral("业主信息"),
                             {{QStringLiteral("联 系 人"), QStringLiteral("F_LXempName")},
                              {QStringLiteral("联系电话"), QStringLiteral("F_LXphone")},
                              {QStringLiteral("手    机"), QStringLiteral("F_LXhandPhone")},
                              {QStringLiteral("备    注"), QStringLiteral("F_memo3"), true},
                              {QStringLiteral("产权描述"), QStringLiteral("F_memo4"), true}});
    c.detailTabs << gridTab(QStringLiteral("跟进记录"), GridLayoutNames::HouseFollowUps, &DetailQueries::houseFollowUps);
    DetailTab deals = gridTab(QStringLiteral("成交记录"), GridLayoutNames::HouseDeals, &DetailQueries::houseDeals);
    deals.maskedFields = {QStringLiteral("F_cltName"), QStringLiteral("F_cltPhone")};
    c.detailTabs << deals;
    DetailTab matches = gridTab(QStringLiteral("匹配客户"), GridLayoutNames::HouseMatches, &DetailQueries::houseMatches);
    matches.multiSelect = true;
    matches.maskedFields = {QStringLiteral("F_cltName"), QStringLiteral("F_cltphone")};
    matches.hidesEditAction = true;
    c.detailTabs << matches;
    return c;
}

RecordPageConfig RecordPageConfig::clients()
{
    RecordPageConfig c;
    c.kind = QStringLiteral("client");
    c.table = QStringLiteral("Client");
    c.treeFlag = TreeCodeService::clientTypeFlag();
    c.treeRootCaption = QStringLiteral("客户分类");
    c.transactionCaptions = {QStringLiteral("全部"), QStringLiteral("求租"), QStringLiteral("求购")};
    c.gridLayout = GridLayoutNames::ClientMain;
    c.countText = QStringLiteral("客户登记总数： %1 个  ");
    c.nameColumn = QStringLiteral("F_cltName");
    c.actions = RecordActions::Clients;
    c.searchFields = &ClientListQuery::searchFields;
    c.offeredFields = &ClientListQuery::offeredFields;
    c.listQuery = &ClientListQuery::query;
    c.maskedFields = &ClientListQuery::maskedFields;

    c.detailTabs << fieldTab(QStringLiteral("需求信息"),
                             {{QStringLiteral("交易类型："), QStringLiteral("F_JYtype")},
                              {QStringLiteral("要求户型："), QStringLiteral("F_HXtype")},
                              {QStringLiteral("楼盘名称："), QStringLiteral("F_WYname")},
                              {QStringLiteral("要求地段："), QStringLiteral("F_DDname")},
                              {QStringLiteral("要求区域："), QStringLiteral("F_area")},
                              {QStringLiteral("房价要求："), QStringLiteral("F_JGname")},
                              {QStringLiteral("房屋用途："), QStringLiteral("F_YT")},
                              {QStringLiteral("配套设施："), QStringLiteral("F_sheShi")},
                              {QStringLiteral("其他交易要求："), QStringLiteral("F_memo1"), true},
                              {QStringLiteral("编号"), QStringLiteral("F_code")},
                              {QStringLiteral("日期"), QStringLiteral("F_editDate")},
                              {QStringLiteral("状态"), QStringLiteral("F_status")},
                              {QStringLiteral("信息来源"), QStringLiteral("F_laiyuan")},
                              {QStringLiteral("业务员"), QStringLiteral("F_EmpName")}});
    c.detailTabs << fieldTab(QStringLiteral("客户资料"),
                             {{QStringLiteral("客户姓名："), QStringLiteral("F_cltName")},
                              {QStringLiteral("性    别："), QStringLiteral("F_sex")},
                              {QStringLiteral("联系电话："), QStringLiteral("F_cltPhone")},
                              {QStringLiteral("联系地址："), QStringLiteral("F_cltAddress")},
                              {QStringLiteral("客户分类："), QStringLiteral("F_cltType")},
                              {QStringLiteral("证件名称："), QStringLiteral("F_ZJname")},
                              {QStringLiteral("证件号码："), QStringLiteral("F_ZJcode")},
                              {QStringLiteral("工作状况："), QStringLiteral("F_cltWork")},
                              {QStringLiteral("备    注："), QStringLiteral("F_cltInfo"), true}});
    c.detailTabs << gridTab(QStringLiteral("跟进记录"), GridLayoutNames::ClientFollowUps, &DetailQueries::clientFollowUps);
    DetailTab matches = gridTab(QStringLiteral("匹配房源"), GridLayoutNames::ClientMatches, &DetailQueries::clientMatches);
    matches.multiSelect = true;
    c.detailTabs << matches;
    return c;
}

} // namespace Quellon
