#pragma once

#include <QString>

namespace Quellon {

// The product's name, edition and version as users see them, in one place.
class ProductInfo
{
public:
    static QString name() { return QStringLiteral("Quellon房产中介管理软件"); }
    static QString edition() { return QStringLiteral("企业版"); }
    static QString version() { return QStringLiteral("1.85"); }
    // "Quellon房产中介管理软件(企业版)"
    static QString title() { return name() + QLatin1Char('(') + edition() + QLatin1Char(')'); }
    // The main window's caption; both parts end with a blank.
    static QString mainWindowTitle()
    {
        return name() + QStringLiteral(" v") + version() + QLatin1Char('(') + edition() + QStringLiteral(") ");
    }
};

} // namespace Quellon
