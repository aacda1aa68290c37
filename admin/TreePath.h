#pragma once

#include <QString>

namespace Quellon {

// Tree paths as stored in t_treecode.F_likecode, House.F_area and
// Client.F_cltType: two backslashes, then the names from the first level down
// joined by one backslash.
class TreePath
{
public:
    static QString separator() { return QStringLiteral("\\"); }
    // The root's path; also the start of every other path.
    static QString rootPath() { return QStringLiteral("\\\\"); }

    // The path of a node named name under the node whose path is parentPath.
    // Under the root the plain join would give three leading backslashes.
    static QString childPath(const QString &parentPath, const QString &name);

    // The path of the node above the one whose path is path: the root's path
    // for a first-level node (and for the root itself).
    static QString parentOf(const QString &path);

    // Whether path is oldPath itself or lies below it. A sibling whose name
    // merely begins with the old name (A and AB) is not below it.
    static bool isAtOrBelow(const QString &path, const QString &oldPath);
    // path with its leading oldPath replaced by newPath; path must be at or
    // below oldPath.
    static QString rebased(const QString &path, const QString &oldPath, const QString &newPath);
};

} // namespace Quellon
