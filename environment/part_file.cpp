// Loading one level's file through the loader registry: the two file descriptions in turn,
// then the locate procedure, keeping the descriptions in agreement.
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_locate.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/ve_bind.h>

#include "environment/binding_internal.h"

#include <cstring>

namespace {

bool empty(const char *s)
{
    return !s || !*s;
}

// One attempt: the file, the loader named by the description (or the registry), the
// description's parameters.
struct Attempt {
    _object *o;
    KivAssembly *assembly;
    int want;  // 2 for parts (geometry), 1 for assemblies
    GSobject *geometry = nullptr;
    const char *chosen = nullptr;  // main name of the factory the registry chose

    bool run(const char *file, const _part_info &d)
    {
        void *g = nullptr;
        int r = 0;
        chosen = nullptr;
        if (!empty(d.type))
            r = loader_invoke(d.type, assembly, o, file, d.params, &g);
        if (r != want) {
            drop(g);
            int index = 0;
            r = loader_invoke(assembly, o, file, d.params, &g, &index);
            if (r == want)
                chosen = loader_name(index, file, d.params);
        }
        const bool ok = r == want && (want != 2 || g);
        if (!ok) {
            drop(g);
            return false;
        }
        geometry = static_cast<GSobject *>(g);
        return true;
    }

    // The main name of the factory at index. An answer from the instance cache reports the
    // first factory, which need not read such files at all: then the first factory that
    // takes the file is named.
    const char *loader_name(int index, const char *file, const char *params)
    {
        LoaderFactory *f = loader_get_factory(index);
        if (!f || loader_legal(f->name(), assembly, o, file, params) != want) {
            int first = 0;
            f = loader_legal(assembly, o, file, params, &first) == want ? loader_get_factory(first)
                                                                        : nullptr;
        }
        return f ? f->name() : nullptr;
    }

    static void drop(void *&g)
    {
        GSobject_delete(static_cast<GSobject *>(g));
        g = nullptr;
    }
};

void copy_description(_part_info &to, const _part_info &from)
{
    to.set_name(from.name);
    to.set_type(from.type);
    to.set_params(from.params);
}

bool try_description(Attempt &a, const _part_info &d)
{
    if (empty(d.name))
        return false;
    char path[QEL_PATH_MAX];
    pathname_join(path, d.name, a.assembly ? RootGetAssyPath(a.assembly) : nullptr, nullptr);
    return *path && a.run(path, d);
}

// Asks for the file of description d under another path (801 for parts, 802 otherwise).
bool locate(Attempt &a, _geometry *level, _part_info &d, bool first_was_source)
{
    if (empty(d.name))
        return false;
    char name[QEL_PATH_MAX] = "";
    std::strncpy(name, d.name, QEL_PATH_MAX - 1);
    const short code = a.want == 2 ? MSG_LOCATE_PART : MSG_LOCATE_ASSEMBLY;
    const char *chosen = nullptr;
    auto try_path = [&](const char *path) {
        if (!a.run(path, d))
            return false;
        chosen = a.chosen;
        return true;
    };
    if (!msg_locate(name, code, a.o->name, try_path))
        return false;
    if (first_was_source) {
        level->part.set_type(level->source.type);
        level->part.set_params(level->source.params);
    }
    level->part.set_name(name);
    if (chosen)
        level->part.set_type(chosen);
    return true;
}

}  // namespace

namespace kiv::env {

GSobject *load_level_file(_object *o, _geometry *level, bool &ok)
{
    Attempt a{o, GetAssembly(o), o->type == OBJ_OBJECT ? 2 : 1};
    const bool valid = o->geometryvalid == 1;
    _part_info &first = valid ? level->part : level->source;
    _part_info &second = valid ? level->source : level->part;
    ok = true;
    if (try_description(a, first)) {
        if (!valid)
            copy_description(second, first);
    } else if (try_description(a, second)) {
        if (!valid)
            copy_description(first, second);
    } else {
        ok = locate(a, level, empty(first.name) ? second : first, !valid && !empty(first.name));
    }
    return a.geometry;
}

std::optional<FileRequest> first_file_request(_object *o, _geometry *level)
{
    const _part_info &first = o->geometryvalid == 1 ? level->part : level->source;
    const _part_info &second = o->geometryvalid == 1 ? level->source : level->part;
    const _part_info &d = empty(first.name) ? second : first;
    if (empty(d.name))
        return std::nullopt;
    KivAssembly *a = GetAssembly(o);
    char path[QEL_PATH_MAX];
    pathname_join(path, d.name, a ? RootGetAssyPath(a) : nullptr, nullptr);
    if (!*path)
        return std::nullopt;
    return FileRequest{path, d.type ? d.type : "",
                       d.params ? std::optional<std::string>(d.params) : std::nullopt};
}

GSobject *decimated_copy(_object *o, _geometry *level)
{
    if (empty(level->part.name))
        return nullptr;
    KivAssembly *a = GetAssembly(o);
    char path[QEL_PATH_MAX];
    pathname_join(path, level->part.name, a ? RootGetAssyPath(a) : nullptr, nullptr);
    return static_cast<GSobject *>(loader_decimated(a, path, level->part.params));
}

}  // namespace kiv::env
