// Animation follows the objects it moves: paths keep their world placement across a
// re-parenting, a deleted root takes its paths along, a deleted object leaves the animation
// list, and deleting the current assembly stops playback and clears the list.
#include <kivctrl/db_observer.h>

#include <kivctrl/anim.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>
#include <kivctrl/placement.h>

namespace {

QEL_FRAME world_frame(_object *o)
{
    QEL_FRAME f;
    f.init();
    obj_get_pos(o, f.p, FRAME_WORLD);
    obj_get_orient(o, f.q, FRAME_WORLD);
    return f;
}

class Animated final : public DbObserver {
public:
    Animated() { db_add_observer(this, DB_RANK_ANIMATION); }
    ~Animated() override { db_remove_observer(this); }

    void deleting(_object *o, DB_DELETE_STAGE stage) override
    {
        switch (stage) {
        case DB_DELETE_ASSEMBLY:
            if (o == db_get_root()) {
                traverse_stop();
                anim_clear();
            }
            break;
        case DB_DELETE_START:
            if (o->type == OBJ_ROOT)
                delete_paths(o);
            break;
        case DB_DELETE_LAST:
            // The object's paths and time-line placements go with it.
            path_forget_object(o);
            break;
        default:
            break;
        }
    }

    // A path is stored in its object's parent frame: it goes through the world frame.
    void unlinking(_object *o) override
    {
        if (o->parent && !o->pathlist.isempty()) {
            const QEL_FRAME from = world_frame(o->parent);
            for (int i = 1; i <= o->pathlist.count(); ++i)
                path_to_world(o->pathlist.get(i), from);
        }
    }

    void linked(_object *o) override
    {
        if (!o->pathlist.isempty()) {
            const QEL_FRAME to = world_frame(o->parent);
            for (int i = 1; i <= o->pathlist.count(); ++i)
                path_from_world(o->pathlist.get(i), to);
        }
    }

private:
    static void delete_paths(_object *root)
    {
        while (_path *p = root->root_pathlist.get(1)) {
            path_delete(p);
            if (root->root_pathlist.get(1) == p)
                root->root_pathlist.remove(1);
        }
    }
};

Animated animated;

}  // namespace
