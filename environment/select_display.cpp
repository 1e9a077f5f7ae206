// The selection display: highlight, triad and name label of the selected objects.
#include <kivctrl/ve_sensor.h>

#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/obj_attr.h>
#include <kivctrl/selection.h>
#include <kivctrl/ve_bind.h>

#include "environment/binding_internal.h"
#include "environment/select_display.h"
#include "environment/sensor_state.h"

#include <vector>

namespace kiv::env {

namespace {

constexpr int first_highlight = 4;
constexpr int other_highlight = 1;

// The graphics nodes that carry o's name label.
std::vector<GSobject *> label_nodes(_object *o)
{
    switch (o->type) {
    case OBJ_GROUP:
    case OBJ_LIGHT:
        if (o->gsobject)
            return {o->gsobject};
        return {};
    case OBJ_OBJECT:
    case OBJ_FACE:
        return geometry_nodes(o);
    default:
        return {};
    }
}

void show_label(_object *o, bool on)
{
    for (GSobject *g : label_nodes(o)) {
        GSobject_setdrawtext(g, on);
        GSobject_setdrawtextcolor(g, -1.0f, -1.0f, -1.0f);
    }
}

}  // namespace

void show_selected(_object *o, int bits)
{
    if (bits & SHOW_HIGHLIGHT)
        obj_set_highlight(o, sel_firstobj() == o ? first_highlight : other_highlight);
    if (bits & SHOW_TRIAD)
        VE_add_lcs(o);
    if (bits & SHOW_LABEL)
        show_label(o, true);
}

void hide_selected(_object *o, int bits)
{
    if (bits & SHOW_HIGHLIGHT) {
        obj_set_highlight(o, -first_highlight);
        obj_set_highlight(o, -other_highlight);
    }
    if (bits & SHOW_TRIAD)
        VE_delete_lcs(o);
    if ((bits & SHOW_LABEL) && !o->name_vis)
        show_label(o, false);
}

}  // namespace kiv::env

void env_set_select_display(int v)
{
    using namespace kiv::env;
    int &shown = sensors().select_display;
    const bool adds = v == 1 || v == 2 || v == 4;
    const bool removes = v == 8 || v == 16 || v == 32;
    if (!adds && !removes)
        return;
    if (adds)
        shown |= v;
    else
        shown &= ~(v / 8);
    for (_object *o = sel_firstobj(); o; o = sel_nextobj(o)) {
        if (adds)
            show_selected(o, v);
        else
            hide_selected(o, v / 8);
    }
}

int env_get_select_display()
{
    return kiv::env::sensors().select_display;
}
