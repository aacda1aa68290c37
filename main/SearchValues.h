#pragma once

#include <QStringList>

namespace Quellon {

class Database;
struct LoginSession;
struct SearchField;

// The items of the value drop-down beside the search-field drop-down.
class SearchValues
{
public:
    // A fixed list as it stands; a code list's names in stored order, each
    // once. The salesperson list holds only the salespersons whose records
    // the operator's data scope lets him see. A field typed into has none.
    static QStringList values(Database &db, const SearchField &field, const LoginSession &session);
};

} // namespace Quellon
