#include "plugins.h"

#include <kivctrl/gs_universe.h>
#include <kivctrl/qel_dll.h>
#include <kivctrl/qel_process.h>
#include <kivctrl/qel_string.h>

#include <filesystem>

namespace kivrender {

std::string engine_directory()
{
    char dir[4096];
    // Any function of the engine names its library.
    qel_getlaunchd(reinterpret_cast<void *>(&GSuniverse_redraw), dir, sizeof dir);
    return dir;
}

int load_plugins()
{
    const std::string dir = engine_directory();
    QEL_DIRECTORY *listing = qel_diropen(dir.c_str(), "qel_*.so");
    int opened = 0;
    while (const char *name = listing ? qel_dirnext(listing) : nullptr)
        opened += dl_open((dir + "/" + name).c_str(), "dll_init", nullptr) != nullptr;
    if (listing)
        qel_dirclose(listing);
    return opened;
}

GSimageWriterFactory *still_writer_for(const std::string &file)
{
    std::string suffix = std::filesystem::path(file).extension().string();
    if (suffix.size() < 2)
        return nullptr;
    suffix.erase(0, 1);
    for (int i = 1; i <= still_writer_count(); ++i) {
        GSimageWriterFactory *factory = still_writer_get_factory(i);
        for (int k = 1; factory && k <= factory->suffix_count(); ++k)
            if (factory->suffix(k) && qel_stricmp(factory->suffix(k), suffix.c_str()) == 0)
                return factory;
    }
    return nullptr;
}

} // namespace kivrender
