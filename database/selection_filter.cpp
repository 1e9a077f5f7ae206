// The selection filter: which kinds of object a host may let the user select.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>

#include <atomic>

namespace {

constexpr int kEverything = 63;
std::atomic<int> filter{61};

int kind_bit(const _object *o)
{
    switch (o->type) {
    case OBJ_OBJECT:
        return o->layer == 0 ? 1 : 4;
    case OBJ_FACE:
        return 2;
    case OBJ_GROUP:
        return 8;
    case OBJ_VIEWPOINT:
        return 16;
    case OBJ_LIGHT:
        return 32;
    default:
        return 0;
    }
}

}  // namespace

void env_set_select_filter(int f)
{
    filter = f;
}

int env_get_select_filter()
{
    return filter;
}

bool env_allow_selection(_object *o)
{
    if (!o)
        return false;
    const int f = filter;
    return f == 0 || f == kEverything || (f & kind_bit(o)) != 0;
}
