// The "UnSuppressor": shows selected objects in full while only envelopes are drawn, and
// follows view moves for the viewpoint's synchronisation.
#include "environment/unsuppressor.h"

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include "database/subtree_walk.h"


namespace {

void override_envelope(_object *o, bool on)
{
    db_walk_subtree(o, [on](_object *x) {
        if (x->gsobject && GSobject_kind(x->gsobject) == GS_KIND_OBJECT)
            GSobject_setoverrideenvelope(x->gsobject, on);
        return x->type == OBJ_GROUP;
    });
}

class UnSuppressor : public MsgHandlerImp {
public:
    UnSuppressor() { msg_handler_register(this); }
    ~UnSuppressor() override { msg_handler_unregister(this); }
    UnSuppressor(const UnSuppressor &) = delete;
    UnSuppressor &operator=(const UnSuppressor &) = delete;

    const char *name() override { return "UnSuppressor"; }
    int handle(short code, void *data, std::intptr_t n) override
    {
        switch (code) {
        case MSG_BUTTON_UP:
            if (n == 1)
                enabled_ = false;
            break;
        case MSG_BUTTON_DOWN:
            if (n == 1)
                enabled_ = true;
            break;
        case MSG_DRAG_BEGIN:
            moving = true;
            break;
        case MSG_DRAG_END:
            moving = false;
            break;
        case MSG_SEL_ADDED:
        case MSG_SEL_REMOVED:
            if (enabled_ && data)
                override_envelope(static_cast<_object *>(data), code == MSG_SEL_ADDED);
            break;
        default:
            break;
        }
        return 0;
    }

    bool moving = false;

private:
    bool enabled_ = true;
};

UnSuppressor &unsuppressor()
{
    static UnSuppressor handler;
    return handler;
}

}  // namespace

namespace kiv::env {

void start_unsuppressor()
{
    unsuppressor();
}

bool view_moving()
{
    return unsuppressor().moving;
}

}  // namespace kiv::env
