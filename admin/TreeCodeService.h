#pragma once

#include "TreeCodeRule.h"
#include "tNodeData.h"

#include <QList>
#include <QString>
#include <optional>

namespace Quellon {

class TdmData;

// The stored side of one tree (flag "area" or "clttype") in t_treecode: new
// codes, inserts, renames and deletes. Refusals and failures are shown with
// ShowMess and answered with an empty code, nothing or false.
class TreeCodeService
{
public:
    using Relation = TreeCodeRule::Relation;

    static QString areaFlag() { return QStringLiteral("area"); }
    static QString clientTypeFlag() { return QStringLiteral("clttype"); }

    TreeCodeService(TdmData &dm, const QString &flag);

    QString flag() const { return m_flag; }

    // Every stored node of the tree in code order, parents before children.
    QList<tNodeData> readNodes();

    // The code a new sibling or child of node would get; empty when refused
    // (a sibling of the root, a full level) or the read failed.
    QString newCode(const tNodeData &node, Relation relation);

    // Why a typed name cannot be a node name, or empty when it can.
    static QString nameProblem(const QString &name);

    // Stores a new sibling or child of node with the next code; parentPath is
    // the path of the new node's parent. The name is kept as typed.
    std::optional<tNodeData> add(const tNodeData &node, Relation relation, const QString &name, const QString &parentPath);

    // Gives node a new name. Its path and those of its descendants change with
    // it, and so do the houses' regions or clients' categories that name the
    // old path, all in one transaction.
    std::optional<tNodeData> rename(const tNodeData &node, const QString &newName, const QString &parentPath);

    // Deletes the node and its descendants in this tree. The root is kept.
    bool remove(const tNodeData &node);

private:
    bool renameRows(const tNodeData &node, const QString &newName, const QString &newPath, QString *error);
    bool anotherNodeHasPath(const tNodeData &node, bool *ok, QString *error);

    TdmData &m_dm;
    QString m_flag;
};

} // namespace Quellon
