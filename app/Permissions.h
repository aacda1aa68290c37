#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <functional>

namespace Quellon {

// The permission keys and the main-window actions they govern. An action's
// object name is "act" followed by its number; menus are named below.
class Permissions
{
public:
    struct Entry
    {
        int key;
        const char *caption;
        const char *menu; // object name of the menu the action sits in
    };
    struct Derived
    {
        int action;
        int source; // takes the visibility of this key's action
    };

    static const QList<Entry> &keys();
    static const QList<Derived> &derived();
    static QString actionName(int number) { return QStringLiteral("act%1").arg(number); }

    // The menus whose visibility follows their actions, and the range of keys
    // that shows each.
    static QString fileMenu() { return QStringLiteral("mnuFile"); }
    static QString editMenu() { return QStringLiteral("mnuEdit"); }
    static QString houseOutputMenu() { return QStringLiteral("mnuHouseOutput"); }
    static QString clientOutputMenu() { return QStringLiteral("mnuClientOutput"); }
    static QString statMenu() { return QStringLiteral("mnuStat"); }
    static QString dataMenu() { return QStringLiteral("mnuData"); }
    static QString docMenu() { return QStringLiteral("mnuDoc"); }

    // The visibility of every governed action and menu for an operator:
    // admin sees everything, anyone else what hasLimit grants him.
    static QHash<QString, bool> SetLimits(bool isAdmin, const std::function<bool(const QString &key)> &hasLimit);
};

} // namespace Quellon
