// The name of the path an object follows.
#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>

const char *obj_get_pathname(_object *o)
{
    return o && o->pathptr ? path_get_name(o->pathptr) : nullptr;
}
