#include <kivctrl/gs_image.h>
#include <kivctrl/qel_internet.h>
#include <kivctrl/qel_pathname.h>

#include "formats/image_registry.h"

#include <memory>

namespace {

using kiv::formats::ImageRegistry;

// Never destroyed: factories with static lifetime unregister from their destructors, which may
// run after any other static object is gone.
ImageRegistry<GSimageReaderFactory> &readers()
{
    static auto *r = new ImageRegistry<GSimageReaderFactory>(
        MSG_IMAGE_READER_REGISTERED, MSG_IMAGE_READER_UNREGISTERED, false);
    return *r;
}

ImageRegistry<GSimageWriterFactory> &stills()
{
    static auto *r = new ImageRegistry<GSimageWriterFactory>(
        MSG_STILL_WRITER_REGISTERED, MSG_STILL_WRITER_UNREGISTERED, true);
    return *r;
}

ImageRegistry<GSimageWriterFactory> &movies()
{
    static auto *r = new ImageRegistry<GSimageWriterFactory>(
        MSG_MOVIE_WRITER_REGISTERED, MSG_MOVIE_WRITER_UNREGISTERED, true);
    return *r;
}

} // namespace

int image_reader_register(GSimageReaderFactory *f) { return readers().add(f); }
int image_reader_unregister(GSimageReaderFactory *f) { return readers().remove(f); }
int image_reader_count() { return readers().count(); }
GSimageReaderFactory *image_reader_get_factory(int i) { return readers().get(i); }
GSimageReaderFactory *image_reader_get_factory(const char *name) { return readers().get(name); }
int image_reader_get_index(GSimageReaderFactory *f) { return readers().find(f); }

int still_writer_register(GSimageWriterFactory *f) { return stills().add(f); }
int still_writer_unregister(GSimageWriterFactory *f) { return stills().remove(f); }
int still_writer_count() { return stills().count(); }
GSimageWriterFactory *still_writer_get_factory(int i) { return stills().get(i); }
GSimageWriterFactory *still_writer_get_factory(const char *name) { return stills().get(name); }
int still_writer_get_index(GSimageWriterFactory *f) { return stills().find(f); }

int movie_writer_register(GSimageWriterFactory *f) { return movies().add(f); }
int movie_writer_unregister(GSimageWriterFactory *f) { return movies().remove(f); }
int movie_writer_count() { return movies().count(); }
GSimageWriterFactory *movie_writer_get_factory(int i) { return movies().get(i); }
GSimageWriterFactory *movie_writer_get_factory(const char *name) { return movies().get(name); }
int movie_writer_get_index(GSimageWriterFactory *f) { return movies().find(f); }

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
