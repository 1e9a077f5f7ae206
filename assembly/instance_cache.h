// The process-wide cache of geometry read through the loader registry.
//
// Three tables, every text compared ignoring ASCII case, a null text sorting before any text:
//   requests: (file, options)  -> basename the loader gave for them
//   keys:     (file, basename) -> key of the entry
//   entries:  key              -> the cached geometry and its simplified copy (owned)
// Callers receive new instances sharing the mesh of a cached object, never the object itself.
#pragma once

#include <kivctrl/qel_msg.h>

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

class GSobject;

class LoadGSobjectInstanceCache final : public MsgHandlerImp {
public:
    LoadGSobjectInstanceCache();
    ~LoadGSobjectInstanceCache() override;
    LoadGSobjectInstanceCache(const LoadGSobjectInstanceCache &) = delete;
    LoadGSobjectInstanceCache &operator=(const LoadGSobjectInstanceCache &) = delete;

    // A new instance of the geometry cached for (file, options), or null.
    GSobject *instance(const char *file, const char *options);
    // A new instance of the geometry cached for (file, basename), recording (file, options)
    // as a request for it; null when there is none.
    GSobject *instance_by_basename(const char *file, const char *options, const char *basename);
    // Keeps a new instance of geometry under a fresh key derived from basename; returns the
    // key, "" when geometry cannot be instanced (nothing is kept then).
    std::string store(const char *file, const char *options, const char *basename,
                      GSobject *geometry);
    // The basename recorded for (file, options).
    std::optional<std::string> basename(const char *file, const char *options);
    // The key of (file, basename).
    std::optional<std::string> key(const char *file, const char *basename);
    // A new instance of the simplified geometry for (file, options), built on first request;
    // null when nothing is cached or the geometry cannot be simplified.
    GSobject *decimated(const char *file, const char *options);
    // Takes simplified (made by simplify) as the simplified geometry of (file, options) when
    // that is cached without one; deletes it otherwise.
    void keep_simplified(const char *file, const char *options, GSobject *simplified);
    // The simplified copy of geometry the cache hands out, made on any thread without the
    // cache; null when geometry cannot be simplified.
    static GSobject *simplify(GSobject *geometry);
    // Forgets everything read from file with options. True when something was cached.
    bool forget(const char *file, const char *options);
    // Deletes every entry.
    void clear();

    const char *name() override { return "LoadGSobjectInstanceCacheMsgHandler"; }
    int handle(short code, void *data, std::intptr_t n) override;

private:
    using Text = std::optional<std::string>;
    struct Less {
        bool operator()(const Text &a, const Text &b) const;
        bool operator()(const std::pair<Text, Text> &a, const std::pair<Text, Text> &b) const;
    };
    struct GSobjectDelete {
        void operator()(GSobject *g) const;
    };
    struct Entry {
        std::unique_ptr<GSobject, GSobjectDelete> geometry;
        std::unique_ptr<GSobject, GSobjectDelete> simplified;
    };

    static Text text(const char *s) { return s ? Text(s) : Text(); }
    Entry *entry(const char *file, const char *options);
    Entry *entry_by_basename(const char *file, const std::string &basename);
    bool forget_object(void *object);

    std::recursive_mutex mutex_;
    std::map<std::pair<Text, Text>, std::string, Less> requests_;
    std::map<std::pair<Text, Text>, std::string, Less> keys_;
    std::map<Text, Entry, Less> entries_;
    bool suspended_ = false;
};

// The one cache of the process.
LoadGSobjectInstanceCache &instance_cache();
