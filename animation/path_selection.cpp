// Selecting an object draws its current path; deselecting removes the drawing.
#include <kivctrl/path.h>

#include <kivctrl/kiv_db.h>
#include <kivctrl/selection.h>

namespace {

class PathBinding final : public SelectionBinding {
public:
    PathBinding() { sel_add_binding(this); }
    ~PathBinding() override { sel_remove_binding(this); }

    void bind(_object *o) override
    {
        if (o->pathptr)
            o->pathptr->display_path(PATH_SHOW);
    }
    void unbind(_object *o) override
    {
        if (o->pathptr)
            o->pathptr->display_path(PATH_HIDE);
    }
};

PathBinding binding;

}  // namespace
