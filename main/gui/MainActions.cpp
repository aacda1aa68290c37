#include "MainActions.h"

namespace Quellon {

const QList<MainAction> &MainActions::all()
{
    static const QList<MainAction> actions = {
        {101, "公司信息", false},
        {102, "更改密码", false},
        {103, "用户权限", false},
        {104, "选项...", true},
        {105, "房产区域", true},
        {106, "客户分类", true},
        {107, "自定义项设置", false},
        {201, "新增", false},
        {202, "修改", false},
        {203, "删除", true},
        {204, "排序...", true},
        {205, "显示字段选择", true},
        {206, "保存当前网格", true},
        {207, "复制", false},
        {301, "导出房源资料", false},
        {302, "报表设计", false},
        {303, "当前房源详单", false},
        {304, "当前房源及跟进记录", false},
        {305, "当前房源及成交记录", false},
        {306, "当前房源及匹配记录", false},
        {307, "房源记录列表", false},
        {31, "导出客户资料", false},
        {32, "报表设计", false},
        {33, "当前客户详单", false},
        {34, "当前客户及跟进记录", false},
        {35, "当前客户及成交记录", false},
        {36, "客户记录列表", false},
        {401, "统计", false},
        {402, "房源跟进记录统计", false},
        {403, "房源成交记录统计", false},
        {404, "客户跟进记录统计", false},
        {405, "房源客户匹配统计", false},
        {501, "导入房源资料", false},
        {502, "系统数据清理", false},
        {503, "数据备份恢复", false},
        {504, "压缩修复数据库", false},
        {505, "连接网络数据库", false},
        {506, "导入客户资料", false},
        {601, "文档管理", false},
        {602, "房屋租赁合同", false},
        {603, "商品房买卖合同", false},
        {604, "二手房买卖合同", false},
        {605, "居间协议", false},
        {606, "二手房买卖流程", false},
        {607, "房源 - Excel导入模版", false},
        {608, "客户 - Excel导入模版", false},
        {901, "新增", false},
        {902, "修改", false},
        {903, "删除", false},
        {904, "排序", true},
        {905, "导出", false},
        {906, "显示字段选择", true},
        {907, "保存当前网格", true},
        {908, "更名", false},
        {11, "彻底删除", false},
        {12, "记录恢复", false},
        {13, "排序...", false},
        {14, "显示字段选择", false},
        {15, "保存当前网格", false},
    };
    return actions;
}

const MainAction *MainActions::find(int number)
{
    for (const MainAction &a : all()) {
        if (a.number == number)
            return &a;
    }
    return nullptr;
}

} // namespace Quellon
