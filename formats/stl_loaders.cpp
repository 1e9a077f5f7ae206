// The built-in loaders of facet files: "Pro/E Render File" and "Stereolithography" read the
// text form with one reader, "Stereolithography (binary)" the binary STL form. The text
// loaders are asked first, and a binary file they refuse (by its last bytes, or when reading
// it as text fails) goes on to the binary one. Whichever text factory takes a file, a file
// named *.slp may hold polygons while any other holds triangles only, as STL requires.
#include <kivctrl/loader.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_string.h>

#include "formats/stl_binary.h"
#include "formats/stl_text.h"

#include <array>
#include <memory>
#include <string>
#include <string_view>

namespace {

using kiv::formats::FacetDialect;
using kiv::formats::FacetRead;

constexpr int facet_hints = 2;

// Hands a read object over, or tells why there is none: an unopenable file to the user, a
// refused one to the debug channel, since the search goes on with the next factory.
int deliver(FacetRead read, const char *file, const char *unopenable, GSobject **geometry)
{
    if (read.object) {
        *geometry = read.object.release();
        return LOADER_GEOMETRY;
    }
    if (read.unopenable) esd_send(unopenable);
    else esd_debug_send((std::string(file) + ": " + read.error).c_str());
    return LOADER_NOT_TAKEN;
}

FacetDialect dialect_of(const char *file)
{
    const size_t dot = std::string_view(file).find_last_of("./\\");
    return dot != std::string_view::npos && file[dot] == '.' && qel_stricmp(file + dot + 1, "slp") == 0
               ? FacetDialect::slp
               : FacetDialect::stl;
}

class TextFacetLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return file && kiv::formats::facet_text_legal(file) ? LOADER_GEOMETRY : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **geometry) override
    {
        if (!geometry) return LOADER_NOT_TAKEN;
        *geometry = nullptr;
        if (!file) return LOADER_NOT_TAKEN;
        return deliver(kiv::formats::read_facet_text_file(file, dialect_of(file)), file, "Can not open .slp file",
                       geometry);
    }
};

class BinaryStlLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return file && kiv::formats::stl_binary_legal(file) ? LOADER_GEOMETRY : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **geometry) override
    {
        if (!geometry) return LOADER_NOT_TAKEN;
        *geometry = nullptr;
        if (!file) return LOADER_NOT_TAKEN;
        return deliver(kiv::formats::read_stl_binary_file(file), file, "Can not open stl binary file", geometry);
    }
};

template <class Make> class FacetFactory final : public LoaderFactoryImp {
public:
    FacetFactory(const char *name, const char *suffix, int priority, Make make)
        : LoaderFactoryImp(suffix), name_(name), priority_(priority), make_(make)
    {
    }
    using LoaderFactory::name;
    const char *name() override { return name_; }
    int hints() override { return facet_hints; }
    int priority() override { return priority_; }
    Loader *create() override { return make_().release(); }

private:
    const char *name_;
    int priority_;
    Make make_;
};

std::unique_ptr<Loader> make_text() { return std::make_unique<TextFacetLoader>(); }
std::unique_ptr<Loader> make_stl_binary() { return std::make_unique<BinaryStlLoader>(); }

using Factory = FacetFactory<std::unique_ptr<Loader> (*)()>;

struct BuiltinFacetLoaders {
    Factory slp{"Pro/E Render File", "slp", 4100, make_text};
    Factory stl{"Stereolithography", "stl", 4090, make_text};
    Factory stl_binary{"Stereolithography (binary)", "stl", 4080, make_stl_binary};

    BuiltinFacetLoaders()
    {
        for (LoaderFactory *f : all()) loader_register(f);
    }
    ~BuiltinFacetLoaders()
    {
        const auto factories = all();
        for (auto f = factories.rbegin(); f != factories.rend(); ++f) loader_unregister(*f);
    }
    std::array<LoaderFactory *, 3> all() { return {&slp, &stl, &stl_binary}; }
};

BuiltinFacetLoaders builtin_facet_loaders;

}  // namespace
