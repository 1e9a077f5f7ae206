// The loader and saver registries.
#include <kivctrl/loader.h>
#include <kivctrl/qel_string.h>

#include "foundation/factory_registry.h"

#include <new>

namespace {

using kiv::foundation::FactoryRegistry;

int compare_loaders(void *a, void *b)
{
    auto *fa = static_cast<LoaderFactory *>(a);
    auto *fb = static_cast<LoaderFactory *>(b);
    const int pa = fa->priority();
    const int pb = fb->priority();
    if (pa != pb)
        return pa > pb ? -1 : 1;
    const int ha = fa->hints() & LOADER_HINT_ORDER_MASK;
    const int hb = fb->hints() & LOADER_HINT_ORDER_MASK;
    if (ha != hb)
        return ha < hb ? -1 : 1;
    if (const int c = qel_stricmp(fa->suffix(), fb->suffix()))
        return c;
    return qel_stricmp(fa->name(), fb->name());
}

int compare_savers(void *a, void *b)
{
    auto *fa = static_cast<SaverFactory *>(a);
    auto *fb = static_cast<SaverFactory *>(b);
    const int pa = fa->priority();
    const int pb = fb->priority();
    if (pa != pb)
        return pa > pb ? -1 : 1;
    if (const int c = qel_stricmp(fa->suffix(), fb->suffix()))
        return c;
    return qel_stricmp(fa->name(), fb->name());
}

bool loader_named(LoaderFactory *f, const char *name)
{
    for (int i = 1; i <= f->name_count(); ++i)
        if (qel_stricmp(f->name(i), name) == 0)
            return true;
    return false;
}

bool saver_named(SaverFactory *f, const char *name)
{
    return qel_stricmp(f->name(), name) == 0;
}

// Never destroyed: factories with static lifetime unregister from their destructors, which
// may run after any other static object of the engine is gone.
FactoryRegistry<LoaderFactory> &loaders()
{
    static auto *list =
        new FactoryRegistry<LoaderFactory>({.order = &compare_loaders,
                                            .named = &loader_named,
                                            .registered = MSG_LOADER_REGISTERED,
                                            .unregistered = MSG_LOADER_UNREGISTERED});
    return *list;
}

FactoryRegistry<SaverFactory> &savers()
{
    static auto *list = new FactoryRegistry<SaverFactory>({.order = &compare_savers,
                                                           .named = &saver_named,
                                                           .registered = MSG_SAVER_REGISTERED,
                                                           .unregistered = MSG_SAVER_UNREGISTERED});
    return *list;
}

}  // namespace

int loader_register(LoaderFactory *f)
{
    return f ? loaders().add(f, f->name()) : 0;
}

int loader_unregister(LoaderFactory *f)
{
    loaders().remove(f);
    return 0;
}

int loader_count()
{
    return loaders().count();
}
LoaderFactory *loader_get_factory(int i)
{
    return loaders().get(i);
}
LoaderFactory *loader_get_factory(const char *name)
{
    return loaders().get(name);
}
int loader_get_index(LoaderFactory *f)
{
    return loaders().find(f);
}

int saver_register(SaverFactory *f)
{
    if (f)
        savers().add(f, f->name());
    return 0;
}

int saver_unregister(SaverFactory *f)
{
    savers().remove(f);
    return 0;
}

int saver_count()
{
    return savers().count();
}
SaverFactory *saver_get_factory(int i)
{
    return savers().get(i);
}
SaverFactory *saver_get_factory(const char *name)
{
    return savers().get(name);
}
int saver_get_index(SaverFactory *f)
{
    return savers().find(f);
}
