// The animation list of an assembly: placements of paths at start frames, expanded to one
// entry per frame.
#include <kivctrl/anim.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>
#include <kivctrl/qel_msg.h>

#include "animation/anim_internal.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <tuple>

namespace kiv::anim {

_anim_struct *list_of(KivAssembly *a)
{
    return a ? a->GetAnim() : nullptr;
}

_anim_struct *list_of(_object *o)
{
    return list_of(GetAssembly(o));
}

double placement_end(const _animpath_struct &a)
{
    return a.start + (a.path ? a.path->get_span() : 0.0);
}

}  // namespace kiv::anim

using kiv::anim::list_of;

namespace {

_anim_struct *ensure_list(_object *o)
{
    _object *root = DBGetRoot(o);
    if (!root)
        return nullptr;
    if (!root->anim) {
        root->anim = new _anim_struct;
        msg_send(MSG_ANIM_CREATED, root->anim, 0);
    }
    return root->anim;
}

void destroy_list(_object *root)
{
    _anim_struct *anim = root->anim;
    for (auto &rec : anim->objects)
        msg_send(MSG_ANIMOBJ_DESTROYED, rec.get(), 0);
    anim->cursor = -1;
    msg_send(MSG_ANIM_CLEARED, anim, 0);
    root->anim = nullptr;
    delete anim;
}

void trim_trailing(_anim_struct *anim)
{
    while (!anim->frames.empty() && anim->frames.back().aframes.empty())
        anim->frames.pop_back();
    anim->cursor = std::min(anim->cursor, anim->frame_count() - 1);
}

// Starts and steps the time line can hold; anything else is refused with an error report.
bool placement_allowed(_path *p, double start)
{
    const double end = start + p->get_span();
    if (std::isfinite(p->steps) && p->steps > 0.0 && std::isfinite(start) && start >= 0.0 &&
        end + 1.0 <= ANIM_MAX_FRAMES)
        return true;
    esd_send("Path \"%1\" cannot be placed at frame %2: its start, length or frames per step "
             "are out of range.",
             p->name, std::to_string(start).c_str());
    return false;
}

int segment_at(double d, double steps, int n, int direction)
{
    int segment;
    if (direction != -1) {
        segment = static_cast<int>(std::floor(d / steps));
    } else {
        const int k = static_cast<int>((steps + d - 1.0) / steps);
        segment = k >= n ? 0 : n - k - 1;
    }
    return std::clamp(segment, 0, n - 1);
}

// One aframe in entry v for every frame v the placement covers.
void fill_frames(_anim_struct *anim, _object *o, _path *p, double start, int direction)
{
    const int n = p->get_nodecount();
    if (n == 0)
        return;
    const double steps = p->steps;
    const int last = static_cast<int>(std::floor(start + p->get_span()));
    while (anim->frame_count() <= last)
        anim->frames.emplace_back(anim->frame_count());
    _aframe_struct a;
    a.object = o;
    a.path = p;
    a.start = start;
    a.direction = direction;
    for (int v = static_cast<int>(std::ceil(start)); v <= last; ++v) {
        const double d = v - start;
        a.time = std::fmod(d, steps) / steps;
        a.segment = segment_at(d, steps, n, direction);
        anim->frames[static_cast<std::size_t>(v)].append(a);
    }
}

// Removes the aframes of a placement from entry ceil(start) on, the rule fill_frames follows.
void clear_frames(_anim_struct *anim, _object *o, _path *p, double start, int direction)
{
    const double first = std::max(0.0, std::ceil(start));
    for (double v = first; v < anim->frame_count(); ++v) {
        if (!anim->frames[static_cast<std::size_t>(v)].remove(o, p, start, direction))
            break;
    }
}

}  // namespace

_aframe_struct &_aframe_struct::operator=(const _aframe_struct &other)
{
    object = other.object;
    path = other.path;
    start = other.start;
    segment = other.segment;
    direction = other.direction;
    return *this;
}

_aframe_struct *_animframe_struct::get(int i)
{
    if (i < 1 || i > count())
        return nullptr;
    return &aframes[static_cast<std::size_t>(i - 1)];
}

void _animframe_struct::append(const _aframe_struct &a)
{
    // Growth by a quarter keeps the unused room of a full time line small.
    if (aframes.size() == aframes.capacity())
        aframes.reserve(aframes.size() + aframes.size() / 4 + 2);
    aframes.push_back(_aframe_struct(a));
}

bool _animframe_struct::remove(_object *o, _path *p, double start, int direction)
{
    auto it = std::find_if(aframes.begin(), aframes.end(), [&](const _aframe_struct &a) {
        return a.object == o && a.path == p && a.start == start && a.direction == direction;
    });
    if (it == aframes.end())
        return false;
    aframes.erase(it);
    if (aframes.empty())
        aframes.shrink_to_fit();
    return true;
}

_animpath_struct *_animobj_struct::FindAnimPath(_path *p, double start, int direction)
{
    for (auto &a : paths) {
        if (a->path == p && a->start == start && a->direction == direction)
            return a.get();
    }
    return nullptr;
}

_animobj_struct *_anim_struct::FindAnimObj(_object *o)
{
    if (!o)
        return nullptr;
    for (auto &rec : objects) {
        if (rec->object == o)
            return rec.get();
    }
    return nullptr;
}

_animobj_struct *_anim_struct::AddAnimObj(_object *o)
{
    if (!o)
        return nullptr;
    if (_animobj_struct *rec = FindAnimObj(o))
        return rec;
    auto rec = std::make_unique<_animobj_struct>(o);
    _animobj_struct *raw = rec.get();
    if (o->type == OBJ_ROOT)
        objects.insert(objects.begin(), std::move(rec));
    else
        objects.push_back(std::move(rec));
    msg_send(MSG_ANIMOBJ_CREATED, raw, 0);
    return raw;
}

_animpath_struct *_anim_struct::FindAnimPath(_object *o, _path *p, double start, int direction)
{
    _animobj_struct *rec = FindAnimObj(o);
    return rec ? rec->FindAnimPath(p, start, direction) : nullptr;
}

_animpath_struct *_anim_struct::FindAnimPath(_aframe_struct *a)
{
    return a ? FindAnimPath(a->object, a->path, a->start, a->direction) : nullptr;
}

_animframe_struct *_anim_struct::get_frame(int k)
{
    if (k < 0 || k >= frame_count())
        return nullptr;
    return &frames[static_cast<std::size_t>(k)];
}

std::size_t _anim_struct::frame_bytes() const
{
    std::size_t total = frames.capacity() * sizeof(_animframe_struct);
    for (const auto &f : frames)
        total += f.bytes();
    return total;
}

_animobj_struct *anim_find_object(_object *o)
{
    _anim_struct *anim = list_of(o);
    return anim ? anim->FindAnimObj(o) : nullptr;
}

_animobj_struct *anim_add_object(_object *o)
{
    _anim_struct *anim = o ? ensure_list(o) : nullptr;
    return anim ? anim->AddAnimObj(o) : nullptr;
}

int anim_add_path(_object *o, _path *p, double start, int direction)
{
    if (!o || !p || !DBGetRoot(o) || !placement_allowed(p, start))
        return 1;
    _anim_struct *anim = ensure_list(o);
    if (!o->pathlist.find(p))
        path_associate(p, o);
    _animobj_struct *rec = anim->AddAnimObj(o);
    if (rec->FindAnimPath(p, start, direction))
        return 0;
    auto placed = std::make_unique<_animpath_struct>();
    placed->path = p;
    placed->start = start;
    placed->direction = direction;
    _animpath_struct *raw = placed.get();
    msg_send(MSG_ANIMPATH_CREATED, raw, 0);
    auto at = std::find_if(rec->paths.begin(), rec->paths.end(),
                           [start](const auto &a) { return a->start > start; });
    rec->paths.insert(at, std::move(placed));
    msg_send(MSG_ANIM_PATH_ADDED, raw, 0);
    fill_frames(anim, o, p, start, direction);
    return 0;
}

int anim_remove_path(_object *o, _path *p, double start, int direction)
{
    if (!o)
        return 1;
    _anim_struct *anim = list_of(o);
    if (!anim)
        return 0;
    clear_frames(anim, o, p, start, direction);
    if (_animobj_struct *rec = anim->FindAnimObj(o)) {
        auto it = std::find_if(rec->paths.begin(), rec->paths.end(), [&](const auto &a) {
            return a->path == p && a->start == start && a->direction == direction;
        });
        if (it != rec->paths.end()) {
            // The record is announced while it still exists, and freed afterwards.
            std::unique_ptr<_animpath_struct> gone = std::move(*it);
            rec->paths.erase(it);
            msg_send(MSG_ANIMPATH_DESTROYED, gone.get(), 0);
            msg_send(MSG_ANIM_PATH_REMOVED, gone.get(),
                     reinterpret_cast<std::intptr_t>(p ? p->associated_object : nullptr));
        }
    }
    trim_trailing(anim);
    return 0;
}

_animpath_struct *anim_path_fit(_object *o, _path *p, double start)
{
    _animobj_struct *rec = anim_find_object(o);
    if (!rec || !p || !(start >= 0.0))
        return nullptr;
    const double a = start;
    const double e = start + p->get_span();
    for (auto &placed : rec->paths) {
        const double d = placed->start;
        const double f = kiv::anim::placement_end(*placed);
        if ((a <= d && d < e) || (a < f && f <= e) || (d <= a && a < f))
            return placed.get();
    }
    return nullptr;
}

void kiv::anim::replace_rippling(_object *o, _path *p, double start, int direction,
                                 double new_start)
{
    struct Move {
        _path *path;
        double start;
        int direction;
    };
    anim_remove_path(o, p, start, direction);
    std::vector<Move> chain{{p, new_start, direction}};
    while (_animpath_struct *hit = anim_path_fit(o, chain.back().path, chain.back().start)) {
        const Move pushed{hit->path, chain.back().start + chain.back().path->get_span(),
                          hit->direction};
        anim_remove_path(o, hit->path, hit->start, hit->direction);
        chain.push_back(pushed);
    }
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        anim_add_path(o, it->path, it->start, it->direction);
}

int anim_update_path(_object *o, _path *p)
{
    _animobj_struct *rec = anim_find_object(o);
    if (!rec)
        return 1;
    std::vector<std::pair<double, int>> placements;
    for (auto &a : rec->paths) {
        if (a->path == p)
            placements.emplace_back(a->start, a->direction);
    }
    if (placements.empty())
        return 1;
    for (const auto &[start, direction] : placements)
        kiv::anim::replace_rippling(o, p, start, direction, start);
    kiv::anim::check_clear(GetAssembly(o));
    return 0;
}

void *anim_remove_object(_object *o)
{
    _anim_struct *anim = list_of(o);
    if (!anim)
        return nullptr;
    _animobj_struct *rec = anim->FindAnimObj(o);
    if (!rec)
        return nullptr;
    while (!rec->paths.empty()) {
        const _animpath_struct &a = *rec->paths.back();
        anim_remove_path(o, a.path, a.start, a.direction);
    }
    auto it = std::find_if(anim->objects.begin(), anim->objects.end(),
                           [rec](const auto &r) { return r.get() == rec; });
    std::unique_ptr<_animobj_struct> gone = std::move(*it);
    anim->objects.erase(it);
    msg_send(MSG_ANIMOBJ_DESTROYED, gone.get(), 0);
    kiv::anim::check_clear(GetAssembly(o));
    return nullptr;
}

void anim_remove_path_everywhere(_path *p)
{
    if (!p)
        return;
    KivAssembly *assemblies[2] = {GetAssembly(p->associated_object),
                                  GetAssembly(db_get_root())};
    for (KivAssembly *a : assemblies) {
        _anim_struct *anim = list_of(a);
        if (!anim)
            continue;
        std::vector<std::tuple<_object *, double, int>> found;
        for (auto &rec : anim->objects) {
            for (auto &placed : rec->paths) {
                if (placed->path == p)
                    found.emplace_back(rec->object, placed->start, placed->direction);
            }
        }
        for (const auto &[o, start, direction] : found)
            anim_remove_path(o, p, start, direction);
        kiv::anim::check_clear(a);
    }
}

int anim_clear_paths(_object *o)
{
    _animobj_struct *rec = anim_find_object(o);
    if (rec) {
        while (!rec->paths.empty()) {
            const _animpath_struct &a = *rec->paths.back();
            anim_remove_path(o, a.path, a.start, a.direction);
        }
    }
    kiv::anim::check_clear(GetAssembly(o));
    return 0;
}

void kiv::anim::check_clear(KivAssembly *a)
{
    _object *root = a ? a->GetRoot() : nullptr;
    if (root && root->anim && root->anim->frames.empty())
        destroy_list(root);
}

int anim_clear()
{
    _object *root = db_get_root();
    if (!root || !root->anim)
        return 0;
    while (!root->anim->objects.empty()) {
        _object *o = root->anim->objects.back()->object;
        _animobj_struct *rec = root->anim->objects.back().get();
        while (!rec->paths.empty()) {
            const _animpath_struct &a = *rec->paths.back();
            anim_remove_path(o, a.path, a.start, a.direction);
        }
        std::unique_ptr<_animobj_struct> gone = std::move(root->anim->objects.back());
        root->anim->objects.pop_back();
        msg_send(MSG_ANIMOBJ_DESTROYED, gone.get(), 0);
    }
    destroy_list(root);
    return 0;
}

int anim_check_clear()
{
    kiv::anim::check_clear(GetAssembly(db_get_root()));
    return 1;
}

int anim_hilite_track(_object *o, int on)
{
    if (_animobj_struct *rec = anim_find_object(o)) {
        for (auto &a : rec->paths)
            msg_send(MSG_TRACK_HILITE, a.get(), on);
    }
    return 1;
}
