// The "Addin" loader: a plug-in library handed to the loader registry is opened and its
// "dll_init" entry called, which registers the plug-in's factories.
#include <kivctrl/loader.h>
#include <kivctrl/qel_dll.h>
#include <kivctrl/qel_pathname.h>

#include <memory>

namespace {

constexpr const char *library_suffix = "so";

// The library name of file (without its extension, as the library manager expects it), or
// false. Only files with the library suffix are libraries: any other file that no format
// loader took must not make the registry load and run a library that lies beside it.
bool library_name(const char *file, char (&out)[QEL_PATH_MAX])
{
    if (!pathname_check_ext(file, library_suffix))
        return false;
    pathname_set(out, file, nullptr, nullptr, "");
    return *out != '\0';
}

class AddinLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        char name[QEL_PATH_MAX];
        return library_name(file, name) && dl_exists(name, nullptr) ? LOADER_LIBRARY
                                                                     : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **) override
    {
        char name[QEL_PATH_MAX];
        return library_name(file, name) && dl_open(name, "dll_init", nullptr) ? LOADER_LIBRARY
                                                                             : LOADER_NOT_TAKEN;
    }
};

class AddinFactory final : public LoaderFactoryImp {
public:
    AddinFactory() : LoaderFactoryImp(library_suffix) { loader_register(this); }
    ~AddinFactory() override { loader_unregister(this); }
    AddinFactory(const AddinFactory &) = delete;
    AddinFactory &operator=(const AddinFactory &) = delete;

    using LoaderFactory::name;
    const char *name() override { return "Addin"; }
    int hints() override { return 8; }
    Loader *create() override { return std::make_unique<AddinLoader>().release(); }
};

AddinFactory addin;

} // namespace
