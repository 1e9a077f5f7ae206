// The observers of object life-cycle events, in ascending rank.
#include <kivctrl/db_observer.h>

#include "database/observers.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

using Entry = std::pair<int, DbObserver *>;

// Never destroyed: observers with static lifetime remove themselves from their destructors,
// which may run after any other static object is gone.
std::vector<Entry> &observers()
{
    static auto *list = new std::vector<Entry>;
    return *list;
}

template <class Call>
void each(Call call)
{
    for (const Entry &e : observers())
        call(e.second);
}

}  // namespace

void db_add_observer(DbObserver *observer, int rank)
{
    std::vector<Entry> &list = observers();
    if (!observer || std::any_of(list.begin(), list.end(),
                                 [observer](const Entry &e) { return e.second == observer; }))
        return;
    auto at = std::upper_bound(list.begin(), list.end(), rank,
                               [](int r, const Entry &e) { return r < e.first; });
    list.insert(at, {rank, observer});
}

void db_remove_observer(DbObserver *observer)
{
    std::vector<Entry> &list = observers();
    list.erase(std::remove_if(list.begin(), list.end(),
                              [observer](const Entry &e) { return e.second == observer; }),
               list.end());
}

namespace kiv::db {

void notify_created(_object *o)
{
    each([o](DbObserver *x) { x->created(o); });
}

void notify_deleting(_object *o, DB_DELETE_STAGE stage)
{
    each([o, stage](DbObserver *x) { x->deleting(o, stage); });
}

void notify_unlinking(_object *o)
{
    each([o](DbObserver *x) { x->unlinking(o); });
}

void notify_linked(_object *o)
{
    each([o](DbObserver *x) { x->linked(o); });
}

void notify_geometry_changing(_object *o)
{
    each([o](DbObserver *x) { x->geometry_changing(o); });
}

int notify_geometry_changed(_object *o)
{
    int result = 0;
    each([o, &result](DbObserver *x) {
        const int r = x->geometry_changed(o);
        if (result == 0)
            result = r;
    });
    return result;
}

int notify_activated(_object *o)
{
    int failed = 0;
    each([o, &failed](DbObserver *x) { failed |= x->activated(o); });
    return failed;
}

void notify_bulk_activation(bool begin)
{
    each([begin](DbObserver *x) { x->bulk_activation(begin); });
}

void notify_renamed(_object *o)
{
    each([o](DbObserver *x) { x->renamed(o); });
}

void notify_recolored(_object *o)
{
    each([o](DbObserver *x) { x->recolored(o); });
}

}  // namespace kiv::db
