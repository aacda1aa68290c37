#pragma once

#include <QString>

namespace Quellon {

// What the search bar and the tree of a house or client page hold: the
// chosen search field with its text or value, the selected tree node and the
// transaction radio buttons. Each page keeps one and asks its list query for
// the statement that goes with it.
struct ListSearch
{
    // The radio buttons: 全部, 出租/求租, 出售/求购.
    enum Transaction { AnyTransaction = 0, Rent = 1, Sale = 2 };

    int field = -1;        // index into the page's search fields; -1 for none
    QString text;          // the text box, for fields typed into
    QString value;         // the value drop-down, for fields chosen from a list
    QString treePath;      // the selected node's path; empty or the root for all
    int transaction = AnyTransaction;
};

} // namespace Quellon
