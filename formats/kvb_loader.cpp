// The "KIV Binary Part" loader: binary part files enter the scene as geometry through the
// loader registry.
#include <kivctrl/gs_part_file.h>
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_stream.h>

#include "formats/part_file_loader.h"

#include <memory>

namespace {

// The version byte (1 or 2) and "KVG" reversed.
bool has_header(const char *file)
{
    const std::unique_ptr<QelFileReader> in(QelCreateReaderInstance(file, QEL_STREAM_BINARY));
    unsigned char head[4];
    if (!in || in->error() || in->readb(reinterpret_cast<char *>(head), 4) != 4)
        return false;
    return (head[0] == 0x11 || head[0] == 0x21) && head[1] == 'G' && head[2] == 'V' && head[3] == 'K';
}

class KvbLoader final : public Loader {
public:
    int legal(KivAssembly *, _object *, const char *file, const char *) override
    {
        return file && (pathname_check_ext(file, "kvb") || pathname_check_ext(file, "KVGB")) && has_header(file)
                   ? LOADER_GEOMETRY
                   : LOADER_NOT_TAKEN;
    }

    int load(KivAssembly *, _object *, const char *file, const char *, GSobject **geometry) override
    {
        return load_part_file(file, GS_FILE_BINARY, geometry);
    }
};

class KvbLoaderFactory final : public LoaderFactoryImp {
public:
    KvbLoaderFactory() : LoaderFactoryImp("kvb") { loader_register(this); }
    ~KvbLoaderFactory() override { loader_unregister(this); }
    KvbLoaderFactory(const KvbLoaderFactory &) = delete;
    KvbLoaderFactory &operator=(const KvbLoaderFactory &) = delete;

    using LoaderFactoryImp::name;
    const char *name() override { return "KIV Binary Part"; }
    int hints() override { return 130; }
    int priority() override { return 10090; }
    Loader *create() override { return std::make_unique<KvbLoader>().release(); }
};

KvbLoaderFactory factory;

} // namespace
