#include "CodeKinds.h"

namespace Quellon {

const QList<CodeKind> &CodeKinds::all()
{
    static const QList<CodeKind> kinds{
        {QStringLiteral("fwtype"), QStringLiteral(" 房屋类型 ")},
        {QStringLiteral("fwhtype"), QStringLiteral(" 房屋户型 ")},
        {QStringLiteral("unit"), QStringLiteral(" 单    位 ")},
        {QStringLiteral("qstype"), QStringLiteral(" 权属性质 ")},
        {QStringLiteral("tdtype"), QStringLiteral(" 土地性质 ")},
        {QStringLiteral("zjname"), QStringLiteral(" 证件名称 ")},
        {QStringLiteral("jytype"), QStringLiteral(" 交易类型 ")},
        {QStringLiteral("laiyuan"), QStringLiteral(" 信息来源 ")},
        {QStringLiteral("status"), QStringLiteral(" 合同状态 ")},
        {QStringLiteral("empname"), QStringLiteral(" 业 务 员 ")},
        {QStringLiteral("chaoshi"), QStringLiteral(" 超    市 ")},
        {QStringLiteral("yiyuan"), QStringLiteral(" 医    院 ")},
        {QStringLiteral("dianqi"), QStringLiteral(" 家用电器 ")},
        {QStringLiteral("jiaju"), QStringLiteral(" 家    俱 ")},
        {QStringLiteral("sheshi"), QStringLiteral(" 配套设施 ")},
        {QStringLiteral("xuexiao"), QStringLiteral(" 学    校 ")},
        {QStringLiteral("gongjiao"), QStringLiteral(" 公交线路 ")},
        {QStringLiteral("wyname"), QStringLiteral(" 楼    盘 ")},
        {QStringLiteral("ddname"), QStringLiteral(" 地    段 ")},
        {QStringLiteral("area"), QStringLiteral(" 区    域 ")},
        {QStringLiteral("gjcaption"), QStringLiteral(" 跟进主题 ")},
        {QStringLiteral("gjmode"), QStringLiteral(" 跟进方式 ")},
        {QStringLiteral("cjtype"), QStringLiteral(" 成交方式 ")},
        {QStringLiteral("cjempname"), QStringLiteral(" 经 办 人 ")},
    };
    return kinds;
}

} // namespace Quellon
