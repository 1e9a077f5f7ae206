// Selected animation tracks.
#include <kivctrl/track_selection.h>

#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/selection.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

using Entries = std::vector<std::unique_ptr<_aframe_struct>>;

Entries &entries()
{
    static Entries all;
    return all;
}

Entries::iterator find_entry(_aframe_struct *e)
{
    auto &all = entries();
    return std::find_if(all.begin(), all.end(), [e](const auto &p) { return p.get() == e; });
}

bool listed(_object *o, _path *p, double start, int direction)
{
    for (const auto &e : entries())
        if (e->object == o && e->path == p && e->start == start && e->direction == direction)
            return true;
    return false;
}

// Deselects every entry for which drop(entry) holds.
template <class Pred>
void deselect_where(Pred drop)
{
    std::vector<_aframe_struct *> victims;
    for (const auto &e : entries())
        if (drop(*e))
            victims.push_back(e.get());
    for (_aframe_struct *e : victims)
        sel_rempath(e);
}

// Tracks follow the selection's deselect-all, and go with their object or path.
class TrackSelection final : public SelectionBinding, public MsgHandlerImp {
public:
    TrackSelection()
    {
        sel_add_binding(this);
        msg_handler_register(this);
    }
    ~TrackSelection() override
    {
        msg_handler_unregister(this);
        sel_remove_binding(this);
    }

    void bind(_object *) override {}
    void unbind(_object *) override {}
    void deselecting_all() override
    {
        deselect_where([](const _aframe_struct &) { return true; });
    }

    const char *name() override { return "Track Selection"; }
    int handle(short code, void *data, std::intptr_t) override
    {
        if (code == MSG_OBJ_DELETING)
            deselect_where([data](const _aframe_struct &e) { return e.object == data; });
        else if (code == MSG_PATH_DESTROYING)
            deselect_where([data](const _aframe_struct &e) { return e.path == data; });
        return 0;
    }
};

TrackSelection tracks;

}  // namespace

void sel_addpath(_aframe_struct *e)
{
    if (!e || find_entry(e) != entries().end())
        return;
    entries().emplace_back(e);
    msg_send(MSG_TRACK_SELECTED, e->path, 0);
}

void sel_addpath(_path *p, int frame, int direction)
{
    if (!p)
        return;
    _object *o = p->get_associated_object();
    _anim_struct *anim = o ? RootGetAnimPtr(o->assembly) : nullptr;
    _animobj_struct *record = anim ? anim->FindAnimObj(o) : nullptr;
    const _animpath_struct *chosen = nullptr;
    if (record) {
        const double span = (p->get_nodecount() - 1) * p->steps;
        for (const auto &pl : record->paths)
            if (pl->path == p && pl->direction == direction && pl->start <= frame &&
                frame <= pl->start + span && !listed(o, p, pl->start, direction))
                chosen = pl.get();
    }
    if (chosen) {
        auto e = std::make_unique<_aframe_struct>();
        e->object = o, e->path = p, e->start = chosen->start, e->direction = direction;
        e->segment = -1;
        sel_addpath(e.release());
    } else if (!listed(o, p, -1.0, 1)) {
        auto e = std::make_unique<_aframe_struct>();
        e->object = o, e->path = p, e->start = -1.0, e->direction = 1, e->segment = -1;
        sel_addpath(e.release());
    }
}

void sel_rempath(_aframe_struct *e)
{
    auto it = e ? find_entry(e) : entries().end();
    if (it == entries().end())
        return;
    const std::unique_ptr<_aframe_struct> gone = std::move(*it);
    entries().erase(it);
    msg_send(MSG_TRACK_DESELECTED, gone->path, 0);
}

int sel_findpath(_aframe_struct *e)
{
    auto it = find_entry(e);
    return it == entries().end() ? 0 : static_cast<int>(it - entries().begin()) + 1;
}

int sel_countpath()
{
    return static_cast<int>(entries().size());
}

int sel_existspath()
{
    return !entries().empty();
}

_aframe_struct *sel_getpath(int i)
{
    return i >= 1 && i <= sel_countpath() ? entries()[static_cast<std::size_t>(i - 1)].get()
                                          : nullptr;
}

_aframe_struct *sel_firstpath()
{
    return sel_getpath(1);
}

_aframe_struct *sel_nextpath(_aframe_struct *e)
{
    const int at = sel_findpath(e);
    return at == 0 ? sel_firstpath() : sel_getpath(at + 1);
}
