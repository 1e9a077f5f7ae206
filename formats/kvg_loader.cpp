// The "KIV Part" loader: text part files enter the scene as geometry through the loader
// registry.
#include <kivctrl/gs_part_file.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_stream.h>

#include "formats/part_file_loader.h"

#include <memory>
#include <string_view>

namespace {

constexpr const char *kSuffix = "kvg";

// The first line must name version 1.1 or 1.2.
bool has_header(const char *file)
{
    const std::unique_ptr<QelFileReader> in(QelCreateReaderInstance(file, 0));
    char head[15];
    if (!in || in->error() || in->readb(head, sizeof head) != sizeof head)
        return false;
    const std::string_view text(head, sizeof head);
    return text.starts_with("KVG Version 1.") && (text.back() == '1' || text.back() == '2');
}

class KvgLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return file && pathname_check_ext(file, kSuffix) && has_header(file) ? LOADER_GEOMETRY : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **geometry) override
    {
        return load_part_file(file, GS_FILE_TEXT, geometry);
    }
};

class KvgLoaderFactory final : public LoaderFactoryImp {
public:
    KvgLoaderFactory() : LoaderFactoryImp(kSuffix) { loader_register(this); }
    ~KvgLoaderFactory() override { loader_unregister(this); }
    KvgLoaderFactory(const KvgLoaderFactory &) = delete;
    KvgLoaderFactory &operator=(const KvgLoaderFactory &) = delete;

    using LoaderFactoryImp::name;
    const char *name() override { return "KIV Part"; }
    int hints() override { return 130; }
    int priority() override { return 10080; }
    Loader *create() override { return std::make_unique<KvgLoader>().release(); }
};

KvgLoaderFactory factory;

} // namespace
