#pragma once

#include <QMetaType>
#include <QString>

namespace Quellon {

// What every tree node carries: its code length, code, name and path. The
// root is not stored: length 0, code "000", the caption as name, path "\\".
struct TreeNode
{
    int codeLength = 0;
    QString code;
    QString name;
    QString path;

    bool isRoot() const { return codeLength == 0; }
    // Three digits per level, so a first-level node has depth 1.
    int depth() const { return codeLength / 3; }
};

} // namespace Quellon

Q_DECLARE_METATYPE(Quellon::TreeNode)
