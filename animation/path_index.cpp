#include "animation/path_index.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/path.h>

namespace kiv::anim {

PathIndex::PathIndex()
{
    _object *root = db_get_root();
    if (!root)
        return;
    for (int i = 1; i <= root->root_pathlist.count(); ++i) {
        _path *p = root->root_pathlist.get(i);
        ids_.emplace(p->id, p);
        names_.emplace(p->name, p);
    }
}

_path *PathIndex::find(const char *text) const
{
    return find_path_id_or_name(
        text,
        [this](int id) {
            auto it = ids_.find(id);
            return it == ids_.end() ? nullptr : it->second;
        },
        [this](const char *name) {
            auto it = names_.find(name);
            return it == names_.end() ? nullptr : it->second;
        });
}

}  // namespace kiv::anim
