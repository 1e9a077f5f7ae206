#include "assembly/loader_parallel.h"

#include <kivctrl/gsobject.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>

#include "assembly/instance_cache.h"

#include <dlfcn.h>

#include <memory>

namespace kiv::assembly {

bool builtin_factory(LoaderFactory *f)
{
    Dl_info engine{}, owner{};
    return f && dladdr(reinterpret_cast<void *>(&builtin_factory), &engine) &&
           dladdr(static_cast<void *>(f), &owner) && owner.dli_fbase == engine.dli_fbase;
}

ParallelFactories parallel_factories(const char *type)
{
    ParallelFactories out;
    if (type && *type) {
        // A named loader that fails sends loader_invoke on through the whole registry.
        out.complete = false;
        if (LoaderFactory *f = loader_get_factory(type); builtin_factory(f))
            out.factories.push_back(f);
        return out;
    }
    for (int i = 1; i <= loader_count(); ++i) {
        LoaderFactory *f = loader_get_factory(i);
        if (!builtin_factory(f)) {
            out.complete = false;
            break;
        }
        out.factories.push_back(f);
    }
    return out;
}

ParallelRead parallel_read(const std::vector<LoaderFactory *> &factories, const char *file,
                           const char *options)
{
    ParallelRead r;
    if (!file || !*file)
        return r;
    for (LoaderFactory *f : factories) {
        std::unique_ptr<Loader> loader(f->create());
        if (!loader)
            continue;
        const int taken = loader->legal(nullptr, nullptr, file, options);
        if (taken == LOADER_NOT_TAKEN)
            continue;
        // Anything but geometry (a library to open) is left to loader_invoke.
        if (taken != LOADER_GEOMETRY)
            return r;
        char base[QEL_PATH_MAX] = "";
        loader->basename(file, options, QEL_PATH_MAX, base);
        GSobject *geometry = nullptr;
        const int result = loader->load(nullptr, nullptr, file, options, &geometry);
        if (result == LOADER_GEOMETRY && geometry) {
            r.geometry = geometry;
            r.simplified = LoadGSobjectInstanceCache::simplify(geometry);
            r.basename = base;
            return r;
        }
        GSobject_delete(geometry);
    }
    return r;
}

void adopt_parallel_read(const char *file, const char *options, ParallelRead r)
{
    std::unique_ptr<GSobject, void (*)(GSobject *)> geometry(r.geometry, &GSobject_delete);
    std::unique_ptr<GSobject, void (*)(GSobject *)> simplified(r.simplified, &GSobject_delete);
    if (!geometry)
        return;
    LoadGSobjectInstanceCache &cache = instance_cache();
    if (GSobject *cached = cache.instance(file, options)) {
        GSobject_delete(cached);
    } else if (GSobject *shared =
                   cache.instance_by_basename(file, options, r.basename.c_str())) {
        GSobject_delete(shared);
    } else {
        cache.store(file, options, r.basename.c_str(), geometry.get());
    }
    if (simplified)
        cache.keep_simplified(file, options, simplified.release());
}

}  // namespace kiv::assembly
