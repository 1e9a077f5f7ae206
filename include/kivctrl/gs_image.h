// Image readers and writers and their registries.
//
// A factory object per picture format, with static lifetime, registers itself in one of three
// sorted lists: image readers (every picture the engine reads ends up as a GSbitmap), still
// writers and movie writers (plug-ins only). Each list is sorted by suffix() and then name(),
// case-insensitively, equal ones in registration order, and is created on the first
// registration and deleted with its last factory. Registrations and removals are announced on
// the message bus with the factory's 1-based position as the integer argument. The registries
// take no lock.
#pragma once

#include <kivctrl/gs_bitmap.h>
#include <kivctrl/qel_textlist.h>

#include <string>

// What a reader or writer is asked to do: a file name and nine integers. Width, height and
// depth come first; the other six are carried for writers and not interpreted by the engine.
struct GSimageParams {
    std::string file;
    int width = 320;
    int height = 240;
    int depth = 24;
    int extra[6] = {300, 0, 0, 15, 2, 0};

    GSimageParams() = default;
    explicit GSimageParams(const char *file_name) : file(file_name ? file_name : "") {}
};

class GSimageReader {
public:
    explicit GSimageReader(const GSimageParams &params) : params_(params) {}
    virtual ~GSimageReader() = default;
    virtual int error() { return error_; }
    // Reads the picture; on success *bitmap receives a new bitmap owned by the caller and the
    // result is nonzero. On failure *bitmap is null and the result 0.
    virtual int read(GSbitmap **bitmap) = 0;
    // Fills info (when non-null) with the picture's size and depth; nonzero on success.
    virtual int info(GSbitmapInfo *info) = 0;

    GSimageParams &ip() { return params_; }

protected:
    GSimageParams params_;
    int error_ = 0;
};

class GSimageWriter {
public:
    explicit GSimageWriter(const GSimageParams &params) : params_(params) {}
    virtual ~GSimageWriter() = default;
    virtual int error() { return error_; }
    // Writes the bitmap to the file named by ip().file; nonzero on success.
    virtual int write(const GSbitmap *bitmap) = 0;

    GSimageParams &ip() { return params_; }

protected:
    GSimageParams params_;
    int error_ = 0;
};

// The shape shared by reader and writer factories; Product is what create() makes.
template <class Product>
class GSimageFactory {
public:
    virtual ~GSimageFactory() = default;
    virtual const char *name() = 0;
    virtual const char *extname() { return name(); }
    virtual int suffix_count() = 0;
    virtual const char *suffix(int i) = 0;
    virtual const char *suffix() { return suffix(1); }
    virtual int hints() { return 0; }
    virtual int priority() { return 0; }
    // The engine's build date, e.g. "Dec 10 2026".
    virtual const char *version();
    // A new Product owned by the caller, or null when the file of params is not of this
    // factory's kind or none can be made.
    virtual Product *create(const GSimageParams &params) = 0;
};

// A factory keeping its own suffix list.
template <class Factory>
class GSimageFactoryImp : public Factory {
public:
    GSimageFactoryImp() = default;
    explicit GSimageFactoryImp(const char *suffix) { suffix_add(suffix); }
    int suffix_count() override { return suffixes_.count(); }
    const char *suffix(int i) override { return suffixes_.get(i); }
    const char *suffix() override { return suffixes_.get(1); }
    void suffix_add(const char *suffix) { suffixes_.add(suffix); }

private:
    QelTextList suffixes_;
};

extern template class GSimageFactory<GSimageReader>;
extern template class GSimageFactory<GSimageWriter>;

class GSimageReaderFactory : public GSimageFactory<GSimageReader> {};
class GSimageWriterFactory : public GSimageFactory<GSimageWriter> {};

class GSimageReaderFactoryImp : public GSimageFactoryImp<GSimageReaderFactory> {
public:
    using GSimageFactoryImp::GSimageFactoryImp;
};

class GSimageWriterFactoryImp : public GSimageFactoryImp<GSimageWriterFactory> {
public:
    using GSimageFactoryImp::GSimageFactoryImp;
};

// Image readers. Registering keeps an older factory of the same name (message 1801 with the
// new position); unregistering sends 1802 with the old position and returns 0.
int image_reader_register(GSimageReaderFactory *factory);
int image_reader_unregister(GSimageReaderFactory *factory);
int image_reader_count();
// By 1-based position, or the first in list order whose name() equals name ignoring case.
GSimageReaderFactory *image_reader_get_factory(int i);
GSimageReaderFactory *image_reader_get_factory(const char *name);
// 1-based position, 0 when absent.
int image_reader_get_index(GSimageReaderFactory *factory);

// Reads the picture in file `name` with the first factory, in list order, that makes a reader
// for it and whose reader succeeds. Null for a null or empty name or when no factory reads
// it; index receives the factory's position or 0. The readers are asked for depth 32. An HTTP
// or FTP name is downloaded into the cache first and read from there.
GSbitmap *image_reader_invoke(const char *name, int &index);
GSbitmap *image_reader_invoke(const char *name);
// Position of the first factory that makes a reader for the file and whose info query
// succeeds (with a null info: the first that makes a reader); 0 when none.
int image_reader_info(const char *name, GSbitmapInfo *info);

// Still-picture writers: registering first unregisters a factory of the same name;
// messages 1813 (registered) and 1814 (unregistered).
int still_writer_register(GSimageWriterFactory *factory);
int still_writer_unregister(GSimageWriterFactory *factory);
int still_writer_count();
GSimageWriterFactory *still_writer_get_factory(int i);
GSimageWriterFactory *still_writer_get_factory(const char *name);
int still_writer_get_index(GSimageWriterFactory *factory);

// Movie writers, the same; messages 1815 and 1816.
int movie_writer_register(GSimageWriterFactory *factory);
int movie_writer_unregister(GSimageWriterFactory *factory);
int movie_writer_count();
GSimageWriterFactory *movie_writer_get_factory(int i);
GSimageWriterFactory *movie_writer_get_factory(const char *name);
int movie_writer_get_index(GSimageWriterFactory *factory);
