// Selection and the sensors: selected objects join the selection sensors, the viewpoint leaves
// the pointer while objects are selected, and the "Selection Listener" shows what selection
// displays. Deleted objects leave every sensor.
#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_sensor.h>

#include "environment/select_display.h"
#include "environment/sensor_state.h"

#include <vector>

namespace {

using namespace kiv::env;

class SensorBinding final : public SelectionBinding {
public:
    SensorBinding() { sel_add_binding(this); }
    ~SensorBinding() override { sel_remove_binding(this); }
    SensorBinding(const SensorBinding &) = delete;
    SensorBinding &operator=(const SensorBinding &) = delete;

    void bind(_object *o) override
    {
        for (auto &s : sensors().sensors)
            if ((s->usage & USAGE_SELECTION) && !s->objects.find(o))
                s->objects.append(o);
    }
    void unbind(_object *o) override
    {
        for (auto &s : sensors().sensors)
            if (s->usage & USAGE_SELECTION)
                s->objects.remove_all(o);
        sensors().snaps.erase(o);
    }
    void first_changed(_object *first) override
    {
        if (sensors().select_display & SHOW_HIGHLIGHT)
            show_selected(first, SHOW_HIGHLIGHT);
    }
    void selection_begins() override
    {
        _object *vp = current_viewpoint();
        if (!vp)
            return;
        for (auto &s : sensors().sensors)
            if (s->usage == (USAGE_VIEW | USAGE_SELECTION))
                s->objects.remove_all(vp);
    }
    void selection_ended() override { sensors_take_viewpoint(current_viewpoint()); }
};

class SelectionListener final : public MsgHandlerImp {
public:
    SelectionListener() { msg_handler_register(this); }
    ~SelectionListener() override { msg_handler_unregister(this); }
    SelectionListener(const SelectionListener &) = delete;
    SelectionListener &operator=(const SelectionListener &) = delete;

    const char *name() override { return "Selection Listener"; }
    int handle(short code, void *data, std::intptr_t) override
    {
        auto *o = static_cast<_object *>(data);
        switch (code) {
        case MSG_SEL_APPLY_DISPLAY:
            if (o)
                show_selected(o, sensors().select_display);
            break;
        case MSG_SEL_REMOVE_DISPLAY:
            if (o)
                hide_selected(o, sensors().select_display);
            break;
        case MSG_OBJ_ACTIVATED:
            // A viewpoint made current takes the place of the one before in every sensor.
            if (o && o->type == OBJ_VIEWPOINT && o == current_viewpoint())
                replace_viewpoint(o);
            break;
        case MSG_OBJ_DELETING:
            // A deleted object must not be moved by the next drag.
            if (o)
                sensors_forget(o);
            break;
        default:
            break;
        }
        return 0;
    }

private:
    static void replace_viewpoint(_object *vp)
    {
        for (auto &s : sensors().sensors) {
            OBJLIST_ITER it(s->objects);
            std::vector<_object *> stale;
            while (it.next())
                if (it.getdata()->type == OBJ_VIEWPOINT && it.getdata() != vp)
                    stale.push_back(it.getdata());
            for (_object *old : stale)
                s->objects.remove_all(old);
        }
        sensors_take_viewpoint(vp);
    }
};

SensorBinding binding;
SelectionListener listener;

}  // namespace
