#pragma once

#include "GridQuery.h"

namespace Quellon {

struct LoginSession;

// What the house page lists for the operator logged in: live houses within
// his data scope, in code order. Later the page's search state narrows it.
class HouseListQuery
{
public:
    static GridQuery forSession(const LoginSession &session);
};

} // namespace Quellon
