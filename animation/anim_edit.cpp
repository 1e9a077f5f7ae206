// Whole-time-line edits: inserting and removing frames, mirroring, reversing and sorting.
#include <kivctrl/anim.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/objlist.h>
#include <kivctrl/path.h>
#include <kivctrl/qel_msg.h>

#include "animation/anim_internal.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using kiv::anim::placement_end;

struct Placement {
    _path *path;
    double start;
    int direction;
};

std::vector<Placement> placements_of(const _animobj_struct &rec)
{
    std::vector<Placement> out;
    for (const auto &a : rec.paths)
        out.push_back({a->path, a->start, a->direction});
    return out;
}

double end_of(const Placement &p)
{
    return p.start + p.path->get_span();
}

std::vector<_object *> objects_of(const _anim_struct &anim)
{
    std::vector<_object *> out;
    for (const auto &rec : anim.objects)
        out.push_back(rec->object);
    return out;
}

// Moves a placement without rippling: the new one is made first, so a refused start loses
// nothing.
void move_placement(_object *o, const Placement &p, double new_start)
{
    if (anim_add_path(o, p.path, new_start, p.direction) == 0)
        anim_remove_path(o, p.path, p.start, p.direction);
}

}  // namespace

void anim_insert_frames(KivAssembly *a, int at, int count)
{
    _anim_struct *anim = kiv::anim::list_of(a);
    if (!anim || at < 0 || at > anim->frame_count() || count <= 0)
        return;
    msg_send(MSG_FRAMES_INSERTING, a, 0);
    OBJLIST changed;
    for (_object *o : objects_of(*anim)) {
        _animobj_struct *rec = anim->FindAnimObj(o);
        const std::vector<Placement> placed = placements_of(*rec);
        bool moved = false;
        for (auto it = placed.rbegin(); it != placed.rend() && it->start >= at; ++it) {
            move_placement(o, *it, it->start + count);
            moved = true;
        }
        if (moved)
            changed.append(o);
    }
    msg_send(MSG_FRAMES_INSERTED, &changed, 1);
}

void anim_remove_frames(KivAssembly *a, double from, double to)
{
    _anim_struct *anim = kiv::anim::list_of(a);
    if (!anim || !(from >= 0.0) || !(from < to) || to > anim->frame_count())
        return;
    const double shift = to - from;
    for (_object *o : objects_of(*anim)) {
        for (const Placement &p : placements_of(*anim->FindAnimObj(o))) {
            const double f = p.start;
            const double g = end_of(p);
            if ((from <= f && f < to) || (from < g && g <= to) || (f <= from && g >= to))
                anim_remove_path(o, p.path, p.start, p.direction);
        }
        for (const Placement &p : placements_of(*anim->FindAnimObj(o))) {
            if (p.start >= from)
                move_placement(o, p, p.start - shift);
        }
    }
    kiv::anim::check_clear(a);
}

void anim_mirror(KivAssembly *a, int, int, int)
{
    _anim_struct *anim = kiv::anim::list_of(a);
    if (!anim)
        return;
    const double last = anim->frame_count() - 1;
    for (_object *o : objects_of(*anim)) {
        for (const Placement &p : placements_of(*anim->FindAnimObj(o))) {
            if (p.start < last)
                anim_add_path(o, p.path, last + (last - end_of(p)), p.direction == 1 ? -1 : 1);
        }
    }
}

void anim_reverse(KivAssembly *a, int, int)
{
    _anim_struct *anim = kiv::anim::list_of(a);
    if (!anim)
        return;
    const double last = anim->frame_count() - 1;
    anim_mirror(a);
    for (_object *o : objects_of(*anim)) {
        for (const Placement &p : placements_of(*anim->FindAnimObj(o))) {
            if (p.start < last)
                anim_remove_path(o, p.path, p.start, p.direction);
        }
        for (const Placement &p : placements_of(*anim->FindAnimObj(o)))
            kiv::anim::replace_rippling(o, p.path, p.start, p.direction, p.start - last);
    }
    kiv::anim::check_clear(a);
}

void anim_sort(KivAssembly *a, int frame)
{
    _anim_struct *anim = kiv::anim::list_of(a);
    if (!anim || frame < 0)
        return;
    const double f = std::min(frame, anim->frame_count() - 1);
    auto distance = [f](const _animobj_struct &rec) {
        double best = 1e9;
        for (const auto &p : rec.paths) {
            const double s = p->start;
            const double e = placement_end(*p);
            if (s <= f && f <= e + 1.0)
                return 0.0;
            best = std::min({best, std::fabs(s - f), std::fabs(e + 1.0 - f)});
        }
        return best;
    };
    // The root's record stays first.
    auto first = anim->objects.begin();
    if (first != anim->objects.end() && (*first)->object->type == OBJ_ROOT)
        ++first;
    std::vector<std::pair<double, std::unique_ptr<_animobj_struct>>> keyed;
    for (auto it = first; it != anim->objects.end(); ++it)
        keyed.emplace_back(distance(**it), std::move(*it));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &x, const auto &y) { return x.first < y.first; });
    for (auto &k : keyed)
        *first++ = std::move(k.second);
}
