#include <kivctrl/gs_image.h>
#include <kivctrl/qel_internet.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_string.h>

#include "foundation/factory_registry.h"

#include <memory>

namespace {

using kiv::foundation::FactoryRegistry;

// Sorted by suffix, then name, case-insensitively; equal ones keep their order of
// registration.
template <class Factory>
int by_suffix_then_name(void *a, void *b)
{
    auto *fa = static_cast<Factory *>(a);
    auto *fb = static_cast<Factory *>(b);
    if (const int c = qel_stricmp(fa->suffix(), fb->suffix()))
        return c;
    return qel_stricmp(fa->name(), fb->name());
}

template <class Factory>
bool named(Factory *f, const char *name)
{
    return qel_stricmp(f->name(), name) == 0;
}

// Readers of one name may coexist (the first one listed is found); a writer replaces the one
// of its name.
template <class Factory>
FactoryRegistry<Factory> *make_registry(short registered, short unregistered, bool replace)
{
    return new FactoryRegistry<Factory>({.order = &by_suffix_then_name<Factory>,
                                         .named = &named<Factory>,
                                         .registered = registered,
                                         .unregistered = unregistered,
                                         .replace = replace,
                                         .last_named_wins = false});
}

// Never destroyed: factories with static lifetime unregister from their destructors, which may
// run after any other static object is gone.
FactoryRegistry<GSimageReaderFactory> &readers()
{
    static auto *r = make_registry<GSimageReaderFactory>(MSG_IMAGE_READER_REGISTERED,
                                                         MSG_IMAGE_READER_UNREGISTERED, false);
    return *r;
}

FactoryRegistry<GSimageWriterFactory> &stills()
{
    static auto *r = make_registry<GSimageWriterFactory>(MSG_STILL_WRITER_REGISTERED,
                                                         MSG_STILL_WRITER_UNREGISTERED, true);
    return *r;
}

FactoryRegistry<GSimageWriterFactory> &movies()
{
    static auto *r = make_registry<GSimageWriterFactory>(MSG_MOVIE_WRITER_REGISTERED,
                                                         MSG_MOVIE_WRITER_UNREGISTERED, true);
    return *r;
}

}  // namespace

int image_reader_register(GSimageReaderFactory *f)
{
    return f ? readers().add(f, f->name()) : 0;
}

int image_reader_unregister(GSimageReaderFactory *f)
{
    readers().remove(f);
    return 0;
}

int image_reader_count()
{
    return readers().count();
}
GSimageReaderFactory *image_reader_get_factory(int i)
{
    return readers().get(i);
}
GSimageReaderFactory *image_reader_get_factory(const char *name)
{
    return readers().get(name);
}
int image_reader_get_index(GSimageReaderFactory *f)
{
    return readers().find(f);
}

int still_writer_register(GSimageWriterFactory *f)
{
    return f ? stills().add(f, f->name()) : 0;
}

int still_writer_unregister(GSimageWriterFactory *f)
{
    stills().remove(f);
    return 0;
}

int still_writer_count()
{
    return stills().count();
}
GSimageWriterFactory *still_writer_get_factory(int i)
{
    return stills().get(i);
}
GSimageWriterFactory *still_writer_get_factory(const char *name)
{
    return stills().get(name);
}
int still_writer_get_index(GSimageWriterFactory *f)
{
    return stills().find(f);
}

int movie_writer_register(GSimageWriterFactory *f)
{
    return f ? movies().add(f, f->name()) : 0;
}

int movie_writer_unregister(GSimageWriterFactory *f)
{
    movies().remove(f);
    return 0;
}

int movie_writer_count()
{
    return movies().count();
}
GSimageWriterFactory *movie_writer_get_factory(int i)
{
    return movies().get(i);
}
GSimageWriterFactory *movie_writer_get_factory(const char *name)
{
    return movies().get(name);
}
int movie_writer_get_index(GSimageWriterFactory *f)
{
    return movies().find(f);
}

GSbitmap *image_reader_invoke(const char *name, int &index)
{
    index = 0;
    if (name == nullptr || *name == '\0')
        return nullptr;
    // An Internet name is read from its downloaded copy.
    char cache[QEL_PATH_MAX];
    pathname_get_cachename(name, cache);
    GSimageParams params(cache[0] != '\0' ? cache : name);
    params.depth = 32;
    for (int i = 1; i <= image_reader_count(); ++i) {
        std::unique_ptr<GSimageReader> reader(image_reader_get_factory(i)->create(params));
        if (!reader)
            continue;
        GSbitmap *raw = nullptr;
        const int ok = reader->read(&raw);
        std::unique_ptr<GSbitmap> bitmap(raw);
        if (ok && bitmap) {
            index = i;
            return bitmap.release();
        }
    }
    return nullptr;
}

GSbitmap *image_reader_invoke(const char *name)
{
    int index = 0;
    return image_reader_invoke(name, index);
}

int image_reader_info(const char *name, GSbitmapInfo *info)
{
    GSimageParams params(name);
    for (int i = 1; i <= image_reader_count(); ++i) {
        std::unique_ptr<GSimageReader> reader(image_reader_get_factory(i)->create(params));
        if (reader && (info == nullptr || reader->info(info)))
            return i;
    }
    return 0;
}
