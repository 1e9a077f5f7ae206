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
        map_.add(p->id, p->name, p);
    }
}

_path *PathIndex::find(const char *text) const
{
    return find_path_id_or_name(
        text, [this](int id) { return map_.by_id(id); },
        [this](const char *name) { return map_.by_name(name); });
}

}  // namespace kiv::anim
