#include "Permissions.h"

namespace Quellon {

const QList<Permissions::Entry> &Permissions::keys()
{
    static const QList<Entry> all = {
        {101, "公司信息", "mnuFile"},        {102, "更改密码", "mnuFile"},
        {103, "用户权限", "mnuFile"},        {104, "选项...", "mnuFile"},
        {105, "房产区域", "mnuFile"},        {106, "客户分类", "mnuFile"},
        {201, "新增", "mnuEdit"},            {202, "修改", "mnuEdit"},
        {203, "删除", "mnuEdit"},            {204, "排序...", "mnuEdit"},
        {205, "显示字段选择", "mnuEdit"},    {206, "保存当前网格", "mnuEdit"},
        {207, "复制", "mnuEdit"},            {301, "导出房源资料", "mnuHouseOutput"},
        {302, "报表设计", "mnuHouseOutput"}, {303, "当前房源详单", "mnuHouseOutput"},
        {304, "当前房源及跟进记录", "mnuHouseOutput"}, {305, "当前房源及成交记录", "mnuHouseOutput"},
        {306, "当前房源及匹配记录", "mnuHouseOutput"}, {307, "房源记录列表", "mnuHouseOutput"},
        {401, "统计", "mnuStat"},            {402, "房源跟进记录统计", "mnuStat"},
        {403, "房源成交记录统计", "mnuStat"}, {404, "客户跟进记录统计", "mnuStat"},
        {405, "房源客户匹配统计", "mnuStat"}, {501, "导入房源资料", "mnuData"},
        {502, "系统数据清理", "mnuData"},    {503, "数据备份恢复", "mnuData"},
        {504, "压缩修复数据库", "mnuData"},  {505, "连接网络数据库", "mnuData"},
        {506, "导入客户资料", "mnuData"},    {601, "文档管理", "mnuDoc"},
        {602, "房屋租赁合同", "mnuDoc"},     {603, "商品房买卖合同", "mnuDoc"},
        {604, "二手房买卖合同", "mnuDoc"},   {605, "居间协议", "mnuDoc"},
        {606, "二手房买卖流程", "mnuDoc"},   {607, "房源 - Excel导入模版", "mnuDoc"},
        {608, "客户 - Excel导入模版", "mnuDoc"},
    };
    return all;
}

const QList<Permissions::Derived> &Permissions::derived()
{
    // Detail-record actions and the client output actions follow their
    // house-side counterparts.
    static const QList<Derived> all = {
        {901, 201}, {902, 202}, {903, 203}, {904, 204}, {905, 301}, {906, 205}, {907, 206},
        {31, 301},  {32, 302},  {33, 303},  {34, 304},  {35, 305},
    };
    return all;
}

QHash<QString, bool> Permissions::SetLimits(bool isAdmin, const std::function<bool(const QString &key)> &hasLimit)
{
    QHash<QString, bool> visible;
    for (const Entry &e : keys()) {
        const bool on = isAdmin || (hasLimit && hasLimit(QString::number(e.key)));
        visible.insert(actionName(e.key), on);
        const QString menu = QString::fromLatin1(e.menu);
        visible[menu] = visible.value(menu, false) || on;
    }
    for (const Derived &d : derived())
        visible.insert(actionName(d.action), visible.value(actionName(d.source)));
    // The client output menu appears only on the client page.
    visible.insert(clientOutputMenu(), false);
    return visible;
}

} // namespace Quellon
