#pragma once

#include "TreeCodeRule.h"
#include "TreeNode.h"

#include <QList>
#include <QString>
#include <optional>

namespace Quellon {

class Database;

// The stored side of one tree (flag "area" or "clttype") in t_treecode: new
// codes, inserts, renames and deletes, and every node's path. Refusals and
// failures are shown with showMessage and answered with an empty code,
// nothing or false.
class TreeCodeService
{
public:
    using Relation = TreeCodeRule::Relation;

    // The two trees, as t_treecode.F_flag stores them.
    static QString areaFlag() { return QStringLiteral("area"); }
    static QString clientTypeFlag() { return QStringLiteral("clttype"); }

    TreeCodeService(Database &db, const QString &flag);

    QString flag() const { return m_flag; }

    // Every stored node of the tree in code order, parents before children.
    QList<TreeNode> readNodes();

    // The code a new sibling or child of node would get; empty when refused
    // (a sibling of the root, a full level) or the read failed.
    QString newCode(const TreeNode &node, Relation relation);

    // Why a typed name cannot be a node name, or empty when it can.
    static QString nameProblem(const QString &name);

    // Stores a new sibling or child of node with the next code, its path
    // under the path of its parent. The name is kept as typed.
    std::optional<TreeNode> add(const TreeNode &node, Relation relation, const QString &name);

    // Gives node a new name. Its path and those of its descendants change with
    // it, and so do the houses' regions or clients' categories that name the
    // old path, all in one transaction.
    std::optional<TreeNode> rename(const TreeNode &node, const QString &newName);

    // Deletes the node and its descendants in this tree. The root is kept.
    bool remove(const TreeNode &node);

private:
    bool renameRows(const TreeNode &node, const QString &newName, const QString &newPath, QString *error);
    bool anotherNodeHasPath(const TreeNode &node, bool *ok, QString *error);

    Database &m_db;
    QString m_flag;
};

} // namespace Quellon
