// Depth-first walk over a subtree without recursion, so that deep trees cannot exhaust the
// stack.
#pragma once

#include <kivctrl/kiv_db.h>

#include <vector>

// Calls visit(x) for top and its descendants; visit answers whether to go on into x's
// children.
template <class Visit>
void db_walk_subtree(_object *top, Visit visit)
{
    std::vector<_object *> work{top};
    while (!work.empty()) {
        _object *x = work.back();
        work.pop_back();
        if (!visit(x))
            continue;
        OBJLIST_ITER it(x->children);
        while (it.next())
            work.push_back(it.getdata());
    }
}
