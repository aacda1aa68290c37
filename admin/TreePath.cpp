#include "TreePath.h"

namespace Quellon {

QString TreePath::childPath(const QString &parentPath, const QString &name)
{
    QString path = parentPath + separator() + name;
    path.replace(QStringLiteral("\\\\\\"), rootPath());
    return path;
}

QString TreePath::parentOf(const QString &path)
{
    if (!path.startsWith(rootPath()) || path.size() <= rootPath().size())
        return rootPath();
    const int last = int(path.lastIndexOf(separator()));
    return last < rootPath().size() ? rootPath() : path.left(last);
}

bool TreePath::isAtOrBelow(const QString &path, const QString &oldPath)
{
    return path == oldPath || path.startsWith(oldPath + separator());
}

QString TreePath::rebased(const QString &path, const QString &oldPath, const QString &newPath)
{
    return newPath + path.mid(oldPath.size());
}

} // namespace Quellon
