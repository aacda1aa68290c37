#pragma once

#include <QString>

class QTreeWidget;
class QTreeWidgetItem;

namespace Quellon {

class Database;

// Fills a tree control with one stored tree: the tree window and the main
// window's navigation trees (which pass their own root captions) share it.
class TreeLoader
{
public:
    // Clears tree and adds the root named rootName, then every stored node of
    // the flag's tree below it, first-level nodes expanded. Returns the root;
    // expanding it is the caller's choice.
    static QTreeWidgetItem *load(QTreeWidget *tree, const QString &rootName, const QString &flag, Database &dm);
};

} // namespace Quellon
