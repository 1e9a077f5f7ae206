// A collide watch tick and its messages.
#include "environment/collide_watch.h"

#include <kivctrl/objlist.h>
#include <kivctrl/qel_msg.h>

namespace kiv::env {

void collide_watch(_object *mover, COLLIDE_MODE mode, bool collect_all, OBJLIST &hits)
{
    msg_send(MSG_COLLIDE_TEST_BEGIN, mover, 0);
    if (mode != COLLIDE_OFF) {
        OBJLIST now;
        if (!collect_all) {
            // What was hit last time is the likeliest hit now.
            OBJLIST_ITER it(hits);
            while (it.next())
                if (intersect_obj_obj(it.getdata(), mover)) {
                    now.add(it.getdata());
                    break;
                }
        }
        if (now.isempty()) {
            if (collect_all)
                intersect_obj_any(mover, &now);
            else if (_object *hit = intersect_obj_any(mover, nullptr))
                now.add(hit);
        }
        OBJLIST_ITER old(hits);
        while (old.next())
            msg_send(now.find(old.getdata()) ? MSG_COLLIDE_CONTINUE : MSG_COLLIDE_END, old.getdata(), 0);
        OBJLIST_ITER fresh(now);
        while (fresh.next())
            if (!hits.find(fresh.getdata()))
                msg_send(MSG_COLLIDE_BEGIN, fresh.getdata(), 0);
        hits.clear();
        OBJLIST_ITER copy(now);
        while (copy.next())
            hits.add(copy.getdata());
    }
    msg_send(MSG_COLLIDE_TEST_END, mover, 0);
}

}  // namespace kiv::env
