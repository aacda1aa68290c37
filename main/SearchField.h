#pragma once

#include <QString>
#include <QStringList>

namespace Quellon {

// One entry of a page's search-field drop-down: the column it searches, how
// a text matches it, and whether the user types the text or picks it from a
// code list or a fixed list.
struct SearchField
{
    enum Match { Contains, StartsWith };
    enum Input { TextBox, CodeList, FixedList };

    QString caption;
    QString column;
    Match match = Contains;
    Input input = TextBox;
    QString codeKind;        // t_code.F_type, for CodeList
    QStringList fixedValues; // for FixedList
    // Offered only to operators who see other salespersons' contact data
    // masked: the one way left to them of listing a colleague's records.
    bool maskedOnly = false;

    bool takesValue() const { return input != TextBox; }

    static SearchField typed(const QString &caption, const QString &column, Match match)
    {
        return SearchField{caption, column, match, TextBox, {}, {}, false};
    }
    static SearchField fromCodes(const QString &caption, const QString &column, Match match, const QString &kind)
    {
        return SearchField{caption, column, match, CodeList, kind, {}, false};
    }
    static SearchField fromValues(const QString &caption, const QString &column, Match match, const QStringList &values)
    {
        return SearchField{caption, column, match, FixedList, {}, values, false};
    }
    SearchField maskedOnlyField() const
    {
        SearchField field = *this;
        field.maskedOnly = true;
        return field;
    }
};

} // namespace Quellon
