#include "assembly_file.h"

#include "engine_errors.h"
#include "framing.h"

#include <kivctrl/loader.h>
#include <kivctrl/placement.h>
#include <kivctrl/ve_bind.h>

namespace kivrender {

namespace {

template <class F> void each_object(_object *root, F f)
{
    std::vector<_object *> todo{root};
    while (!todo.empty()) {
        _object *o = todo.back();
        todo.pop_back();
        f(o);
        for (int i = o->children.count(); i >= 1; --i)
            todo.push_back(o->children.get(i));
    }
}

} // namespace

bool is_assembly(const std::string &file)
{
    int index = 0;
    return loader_legal(nullptr, nullptr, file.c_str(), nullptr, &index) == LOADER_ASSEMBLY;
}

_object *load_assembly(const std::string &file, std::string &error)
{
    EngineErrors reports;
    // A picture is taken once: parts load while the file is read, not in the background.
    env_set_threading(false);
    if (assy_read(file.c_str()) != 0 || !db_get_root()) {
        error = "cannot read assembly file '" + file + "'";
        if (!reports.last().empty())
            error += ": " + reports.last();
        return nullptr;
    }
    return db_get_root();
}

void collect_assembly_corners(_object *root, std::vector<QEL_VECT3> &out)
{
    each_object(root, [&](_object *o) {
        if (o->type == OBJ_OBJECT && o->active == 1 && o->gsobject)
            collect_corners(o->gsobject, out);
    });
}

bool named_view(_object *root, std::string_view name, QEL_VECT3 &position, QEL_QUAT &orientation)
{
    bool found = false;
    each_object(root, [&](_object *o) {
        if (!found && o->type == OBJ_VIEWPOINT && o->name && name == o->name) {
            QEL_FRAME f;
            obj_get_pno(o, f, FRAME_WORLD);
            position = f.p;
            orientation = f.q;
            found = true;
        }
    });
    for (int i = 1; !found && i <= root->presetlist.count(); ++i) {
        const _preset *p = root->presetlist.get(i);
        if (p->name == name) {
            position = p->position;
            orientation = p->orientation;
            found = true;
        }
    }
    return found;
}

std::string view_names_of(_object *root)
{
    std::string names;
    auto add = [&](const std::string &n) { names += (names.empty() ? "" : ", ") + n; };
    each_object(root, [&](_object *o) {
        if (o->type == OBJ_VIEWPOINT && o->name)
            add(o->name);
    });
    for (int i = 1; i <= root->presetlist.count(); ++i)
        add(root->presetlist.get(i)->name);
    return names;
}

} // namespace kivrender
