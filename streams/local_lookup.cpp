#include "streams/local_lookup.h"

#include <kivctrl/qel_msg.h>

#include <map>
#include <mutex>

namespace kiv::streams {

namespace {

class LookupTable final : public MsgHandlerImp {
public:
    LookupTable() { msg_handler_register(this); }
    ~LookupTable() override { msg_handler_unregister(this); }

    const char *name() override { return "LocalLookup CacheInvalidator"; }

    int handle(short code, void *, std::intptr_t) override
    {
        if (code == MSG_DROP_CACHED_LOOKUPS) {
            std::lock_guard lock(mutex);
            files.clear();
        }
        return 0;
    }

    // Downloads may run on the geometry loading thread while the control's thread opens files.
    std::mutex mutex;
    std::map<std::string, std::string> files;
};

LookupTable &table()
{
    static LookupTable t;
    return t;
}

} // namespace

std::string lookup_download(const std::string &url)
{
    LookupTable &t = table();
    std::lock_guard lock(t.mutex);
    auto it = t.files.find(url);
    return it == t.files.end() ? std::string() : it->second;
}

void remember_download(const std::string &url, const std::string &cache_file)
{
    LookupTable &t = table();
    std::lock_guard lock(t.mutex);
    t.files[url] = cache_file;
}

void forget_download(const std::string &url)
{
    LookupTable &t = table();
    std::lock_guard lock(t.mutex);
    t.files.erase(url);
}

} // namespace kiv::streams
