#pragma once

#include <QString>

namespace Quellon {

// The t_code kinds the house and client searches take their value lists
// from, as t_code.F_type stores them.
class ListCodeKinds
{
public:
    static QString houseType() { return QStringLiteral("fwtype"); }
    static QString houseLayout() { return QStringLiteral("fwhtype"); }
    static QString ownership() { return QStringLiteral("qstype"); }
    static QString landUse() { return QStringLiteral("tdtype"); }
    static QString idDocument() { return QStringLiteral("zjname"); }
    static QString transaction() { return QStringLiteral("jytype"); }
    static QString source() { return QStringLiteral("laiyuan"); }
    static QString status() { return QStringLiteral("status"); }
    static QString salesperson() { return QStringLiteral("empname"); }
};

} // namespace Quellon
