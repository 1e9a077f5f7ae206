// Loading a file through the loader registry, answered from the instance cache when it can.
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_internet.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_string.h>

#include "assembly/instance_cache.h"

#include <memory>

namespace {

struct Outcome {
    int result = LOADER_NOT_TAKEN;
    GSobject *geometry = nullptr;
};

// The local file an Internet name was downloaded to; "" for every other name.
struct CacheName {
    explicit CacheName(const char *file) { pathname_get_cachename(file, text); }
    // What the factory's loader is handed: the download unless the factory wants the name
    // as given.
    const char *for_factory(LoaderFactory *f, const char *file) const
    {
        return *text && f->hints() >= 0 ? text : file;
    }
    char text[QEL_PATH_MAX] = "";
};

bool usable(const char *file) { return file && *file; }

Outcome invoke_factory(LoaderFactory *f, KivAssembly *assembly, _object *parent,
                       const char *file, const char *options, const CacheName &cachename)
{
    std::unique_ptr<Loader> loader(f->create());
    if (!loader)
        return {};
    const char *name = cachename.for_factory(f, file);
    if (!loader->legal(assembly, parent, name, options))
        return {};
    char base[QEL_PATH_MAX] = "";
    loader->basename(file, options, QEL_PATH_MAX, base);
    LoadGSobjectInstanceCache &cache = instance_cache();
    if (GSobject *shared = cache.instance_by_basename(file, options, base))
        return {LOADER_GEOMETRY, shared};
    GSobject *geometry = nullptr;
    const int result = loader->load(assembly, parent, name, options, &geometry);
    // A geometry loader that hands back no object has not read the file, and a failed load
    // keeps nothing it may have left behind.
    if (result == LOADER_NOT_TAKEN || ((result & LOADER_GEOMETRY) && !geometry)) {
        GSobject_delete(geometry);
        return {};
    }
    if (result & LOADER_GEOMETRY)
        cache.store(file, options, base, geometry);
    return {result, geometry};
}

// Hands the geometry to the caller, or deletes it when the caller does not take it.
int deliver(const Outcome &out, void **geometry)
{
    if (geometry)
        *geometry = out.geometry;
    else
        GSobject_delete(out.geometry);
    return out.result;
}

} // namespace

int loader_invoke(KivAssembly *assembly, _object *parent, const char *file, const char *options,
                  void **geometry, int *index)
{
    if (index)
        *index = 0;
    if (geometry)
        *geometry = nullptr;
    if (!usable(file) || loader_count() == 0)
        return LOADER_NOT_TAKEN;
    if (GSobject *cached = instance_cache().instance(file, options)) {
        if (index)
            *index = 1;
        return deliver({LOADER_GEOMETRY, cached}, geometry);
    }
    const CacheName cachename(file);
    // Loading a plug-in registers factories while this walk runs: each step goes on from
    // where the factory just asked stands now.
    for (int i = 1; i <= loader_count();) {
        LoaderFactory *f = loader_get_factory(i);
        const Outcome out = invoke_factory(f, assembly, parent, file, options, cachename);
        const int now = loader_get_index(f);
        if (out.result != LOADER_NOT_TAKEN) {
            if (index)
                *index = now;
            return deliver(out, geometry);
        }
        i = now ? now + 1 : i;
    }
    return LOADER_NOT_TAKEN;
}

int loader_invoke(const char *name, KivAssembly *assembly, _object *parent, const char *file,
                  const char *options, void **geometry)
{
    if (geometry)
        *geometry = nullptr;
    LoaderFactory *f = loader_get_factory(name);
    if (!f || !usable(file))
        return LOADER_NOT_TAKEN;
    if (GSobject *cached = instance_cache().instance(file, options))
        return deliver({LOADER_GEOMETRY, cached}, geometry);
    const CacheName cachename(file);
    return deliver(invoke_factory(f, assembly, parent, file, options, cachename), geometry);
}

int loader_legal(KivAssembly *assembly, _object *parent, const char *file, const char *options,
                 int *index)
{
    if (index)
        *index = 0;
    if (!usable(file))
        return LOADER_NOT_TAKEN;
    const CacheName cachename(file);
    for (int i = 1; i <= loader_count(); ++i) {
        LoaderFactory *f = loader_get_factory(i);
        std::unique_ptr<Loader> loader(f->create());
        if (!loader)
            continue;
        if (const int answer =
                loader->legal(assembly, parent, cachename.for_factory(f, file), options)) {
            if (index)
                *index = i;
            return answer;
        }
    }
    return LOADER_NOT_TAKEN;
}

int loader_legal(const char *name, KivAssembly *assembly, _object *parent, const char *file,
                 const char *options)
{
    LoaderFactory *f = loader_get_factory(name);
    if (!f || !usable(file))
        return LOADER_NOT_TAKEN;
    std::unique_ptr<Loader> loader(f->create());
    if (!loader)
        return LOADER_NOT_TAKEN;
    const CacheName cachename(file);
    return loader->legal(assembly, parent, cachename.for_factory(f, file), options);
}

int loader_basename(KivAssembly *, const char *file, const char *options, int size, char *out)
{
    std::string answer;
    if (auto cached = instance_cache().basename(file, options)) {
        answer = *cached;
    } else {
        char simple[QEL_PATH_MAX];
        pathname_get_simple(file, simple);
        answer = simple;
    }
    const int needed = static_cast<int>(answer.size()) + 1;
    if (out && size > 0) {
        *out = '\0';
        if (needed <= size)
            qel_strcpy(out, answer.c_str());
    }
    return needed;
}

void *loader_decimated(KivAssembly *assembly, const char *file, const char *options)
{
    LoadGSobjectInstanceCache &cache = instance_cache();
    if (GSobject *coarse = cache.decimated(file, options))
        return coarse;
    // Parts name their files relative to the assembly, which loads them joined to its
    // directory.
    const char *dir = assembly ? RootGetAssyPath(assembly) : nullptr;
    if (!dir || !*dir)
        return nullptr;
    char joined[QEL_PATH_MAX];
    pathname_join(joined, file, dir, nullptr);
    return *joined ? cache.decimated(joined, options) : nullptr;
}
