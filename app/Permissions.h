#pragma once

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>

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
    static QString fileMenu() { return QStringLiteral("fileMenu"); }
    static QString editMenu() { return QStringLiteral("editMenu"); }
    static QString houseOutputMenu() { return QStringLiteral("houseOutputMenu"); }
    static QString clientOutputMenu() { return QStringLiteral("clientOutputMenu"); }
    static QString statisticsMenu() { return QStringLiteral("statisticsMenu"); }
    static QString dataMenu() { return QStringLiteral("dataMenu"); }
    static QString documentsMenu() { return QStringLiteral("documentsMenu"); }

    // The visibility of every governed action and menu for an operator:
    // admin sees everything, anyone else what his granted keys show.
    static QHash<QString, bool> visibility(bool isAdmin, const QSet<QString> &grantedKeys);
};

} // namespace Quellon
