// Shared helpers of the animation tests: an assembly with parts, paths built from points and
// a view of the time line.
#pragma once

#include <kivctrl/anim.h>
#include <kivctrl/path.h>
#include <kivctrl/placement.h>

#include "database/db_fixture.h"

#include <cmath>
#include <initializer_list>
#include <vector>

class AnimTest : public DbTest {
protected:
    _path *make_path(const char *name, std::initializer_list<QEL_VECT3> points, double steps = 10.0)
    {
        std::vector<QEL_VECT3> pts(points);
        _path *p = path_create(name, pts.data(), nullptr, static_cast<int>(pts.size()));
        p->steps = steps;
        return p;
    }

    // A path of n nodes along x, one unit apart.
    _path *line_path(int n, double steps = 10.0)
    {
        std::vector<QEL_VECT3> pts;
        for (int i = 0; i < n; ++i)
            pts.push_back({static_cast<float>(i), 0.0f, 0.0f});
        _path *p = path_create(nullptr, pts.data(), nullptr, n);
        p->steps = steps;
        return p;
    }

    _anim_struct *anim() { return assy->GetAnim(); }
    int frames() { return anim() ? anim()->frame_count() : 0; }

    // The aframes of entry k belonging to path p.
    std::vector<_aframe_struct> at(int k, _path *p)
    {
        std::vector<_aframe_struct> out;
        if (_animframe_struct *f = anim() ? anim()->get_frame(k) : nullptr) {
            for (const _aframe_struct &a : f->aframes)
                if (a.path == p)
                    out.push_back(a);
        }
        return out;
    }

    // Frames holding an aframe of p, in order.
    std::vector<int> frames_of(_path *p)
    {
        std::vector<int> out;
        for (int k = 0; k < frames(); ++k)
            if (!at(k, p).empty())
                out.push_back(k);
        return out;
    }

    // Starts of o's placements in order.
    std::vector<double> starts(_object *o)
    {
        std::vector<double> out;
        if (_animobj_struct *rec = anim_find_object(o))
            for (const auto &a : rec->paths)
                out.push_back(a->start);
        return out;
    }
};

inline std::vector<int> range(int from, int to)
{
    std::vector<int> out;
    for (int i = from; i <= to; ++i)
        out.push_back(i);
    return out;
}
