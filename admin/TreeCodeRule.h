#pragma once

#include <QString>

namespace Quellon {

// Level codes of the trees: a child's code is its parent's code followed by
// three digits, "001" to "999". The stored maximum under a prefix is compared
// as text, so it may belong to a deeper node; these rules bring it back to
// the wanted level before counting on.
class TreeCodeRule
{
public:
    enum class Relation { Sibling, Child };
    enum class Outcome { Ok, LevelFull, NotNumeric };

    struct Next
    {
        Outcome outcome = Outcome::Ok;
        QString code; // empty unless Ok
    };

    static constexpr int LevelDigits = 3;

    // The code of the new node's parent: the code without its last level for
    // a sibling, the code itself for a child. Empty for the first level.
    static QString prefix(const QString &code, Relation relation);

    // The new node's code from the textual maximum among the codes that start
    // with prefix(code, relation) (empty when none). A level whose counter has
    // reached 999 is full: counting on would repeat or overflow a code.
    static Next nextAfter(const QString &maxCode, const QString &code, Relation relation);
};

} // namespace Quellon
