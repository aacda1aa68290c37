#include "Permissions.h"

namespace Quellon {

const QList<Permissions::Entry> &Permissions::keys()
{
    static const QList<Entry> all = {
        {101, "公司信息", "fileMenu"},        {102, "更改密码", "fileMenu"},
        {103, "用户权限", "fileMenu"},        {104, "选项...", "fileMenu"},
        {105, "房产区域", "fileMenu"},        {106, "客户分类", "fileMenu"},
        {201, "新增", "editMenu"},            {202, "修改", "editMenu"},
        {203, "删除", "editMenu"},            {204, "排序...", "editMenu"},
        {205, "显示字段选择", "editMenu"},    {206, "保存当前网格", "editMenu"},
        {207, "复制", "editMenu"},            {301, "导出房源资料", "houseOutputMenu"},
        {302, "报表设计", "houseOutputMenu"}, {303, "当前房源详单", "houseOutputMenu"},
        {304, "当前房源及跟进记录", "houseOutputMenu"}, {305, "当前房源及成交记录", "houseOutputMenu"},
        {306, "当前房源及匹配记录", "houseOutputMenu"}, {307, "房源记录列表", "houseOutputMenu"},
        {401, "统计", "statisticsMenu"},            {402, "房源跟进记录统计", "statisticsMenu"},
        {403, "房源成交记录统计", "statisticsMenu"}, {404, "客户跟进记录统计", "statisticsMenu"},
        {405, "房源客户匹配统计", "statisticsMenu"}, {501, "导入房源资料", "dataMenu"},
        {502, "系统数据清理", "dataMenu"},    {503, "数据备份恢复", "dataMenu"},
        {504, "压缩修复数据库", "dataMenu"},  {505, "连接网络数据库", "dataMenu"},
        {506, "导入客户资料", "dataMenu"},    {601, "文档管理", "documentsMenu"},
        {602, "房屋租赁合同", "documentsMenu"},     {603, "商品房买卖合同", "documentsMenu"},
        {604, "二手房买卖合同", "documentsMenu"},   {605, "居间协议", "documentsMenu"},
        {606, "二手房买卖流程", "documentsMenu"},   {607, "房源 - Excel导入模版", "documentsMenu"},
        {608, "客户 - Excel导入模版", "documentsMenu"},
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

QHash<QString, bool> Permissions::visibility(bool isAdmin, const QSet<QString> &grantedKeys)
{
    QHash<QString, bool> visible;
    for (const Entry &e : keys()) {
        const bool on = isAdmin || grantedKeys.contains(QString::number(e.key));
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
