#include "TreeCodeRule.h"

namespace Quellon {

QString TreeCodeRule::prefix(const QString &code, Relation relation)
{
    if (relation == Relation::Child)
        return code;
    return code.left(qMax(0, int(code.size()) - LevelDigits));
}

TreeCodeRule::Next TreeCodeRule::nextAfter(const QString &maxCode, const QString &code, Relation relation)
{
    const int wanted = relation == Relation::Sibling ? int(code.size()) : int(code.size()) + LevelDigits;
    QString level = maxCode;
    if (level.size() > wanted)
        level.truncate(wanted);
    // Nothing stored at the wanted level yet (the parent has no children, or
    // the tree is empty): count on from the parent's code and "000".
    if (level.size() < wanted)
        level = prefix(code, relation) + QString(LevelDigits, QLatin1Char('0'));

    const QString head = level.left(level.size() - LevelDigits);
    const QString tail = level.right(LevelDigits);
    for (const QChar c : tail) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return {Outcome::NotNumeric, {}};
    }
    const int counter = tail.toInt();
    if (counter >= 999)
        return {Outcome::LevelFull, {}};
    return {Outcome::Ok, head + QStringLiteral("%1").arg(counter + 1, LevelDigits, 10, QLatin1Char('0'))};
}

} // namespace Quellon
