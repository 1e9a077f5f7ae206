// Selection lists and layers.
//
// Only the always-present list 0 exists so far, and it never holds objects; no layers exist.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>

int sel_listsetactive(int)
{
    return 0;
}

void object_deselectall()
{
    msg_send(MSG_SEL_CHANGED, nullptr, 0);
}

int sel_forget_obj(_object *)
{
    return 0;
}

int layer_remove_from_layer(_object *o)
{
    if (!o || o->layer == 0)
        return 0;
    o->layer = 0;
    return 1;
}

void layer_delete_all() {}
