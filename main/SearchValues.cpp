#include "SearchValues.h"

#include "CodeListCache.h"
#include "ListCodeKinds.h"
#include "LoginSession.h"
#include "SearchField.h"

namespace Quellon {

QStringList SearchValues::values(Database &db, const SearchField &field, const LoginSession &session)
{
    if (field.input == SearchField::FixedList)
        return field.fixedValues;
    if (field.input != SearchField::CodeList)
        return {};
    const bool salespersons = field.codeKind.compare(ListCodeKinds::salesperson(), Qt::CaseInsensitive) == 0;
    // Picking a colleague outside the scope would only ever list nothing.
    if (salespersons && session.scope == LoginSession::OwnRecords)
        return {session.operatorName};
    QStringList names;
    CodeListCache::readNames(db, field.codeKind, names);
    names.removeDuplicates();
    if (salespersons && session.scope == LoginSession::ListedSalespersons) {
        names.removeIf([&](const QString &name) { return !session.salespersons.contains(name.trimmed()); });
    }
    return names;
}

} // namespace Quellon
