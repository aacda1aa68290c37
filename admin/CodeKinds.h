#pragma once

#include <QList>
#include <QString>

namespace Quellon {

// The flat code lists of t_code, in the order of the code-list window's pages.
struct CodeKind
{
    QString key;     // t_code.F_type
    QString caption; // page caption, blanks included
};

class CodeKinds
{
public:
    static const QList<CodeKind> &all();
};

} // namespace Quellon
