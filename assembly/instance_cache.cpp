#include "assembly/instance_cache.h"

#include <kivctrl/gsdb_geometry.h>
#include <kivctrl/gsobject.h>
#include <kivctrl/kiv_db.h>
#include <kivctrl/obj_geometry.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_string.h>

namespace {

// Registered when the module starts; never destroyed, so that the handler outlives every
// static object that may still load or release geometry at exit.
LoadGSobjectInstanceCache *const cache = new LoadGSobjectInstanceCache;

// The next of the keys base_0 ... base_9, base_A ... base_Z, base_10, base_11 ...: the
// suffix after the last '_' counts in base 36 with upper-case digits.
void next_key(std::string &key, std::size_t digits_from)
{
    for (std::size_t i = key.size(); i > digits_from; --i) {
        char &c = key[i - 1];
        if (c == '9') {
            c = 'A';
            return;
        }
        if (c != 'Z') {
            ++c;
            return;
        }
        c = '0';
    }
    key.insert(key.begin() + static_cast<std::ptrdiff_t>(digits_from), '1');
}

} // namespace

LoadGSobjectInstanceCache &instance_cache() { return *cache; }

LoadGSobjectInstanceCache::LoadGSobjectInstanceCache() { msg_handler_register(this); }

LoadGSobjectInstanceCache::~LoadGSobjectInstanceCache()
{
    msg_handler_unregister(this);
    clear();
}

bool LoadGSobjectInstanceCache::Less::operator()(const Text &a, const Text &b) const
{
    if (!a || !b)
        return !a && b;
    return qel_stricmp(a->c_str(), b->c_str()) < 0;
}

bool LoadGSobjectInstanceCache::Less::operator()(const std::pair<Text, Text> &a,
                                                 const std::pair<Text, Text> &b) const
{
    if ((*this)(a.first, b.first))
        return true;
    if ((*this)(b.first, a.first))
        return false;
    return (*this)(a.second, b.second);
}

void LoadGSobjectInstanceCache::GSobjectDelete::operator()(GSobject *g) const
{
    GSobject_delete(g);
}

LoadGSobjectInstanceCache::Entry *LoadGSobjectInstanceCache::entry(const char *file,
                                                                   const char *options)
{
    auto request = requests_.find({text(file), text(options)});
    return request == requests_.end() ? nullptr : entry_by_basename(file, request->second);
}

LoadGSobjectInstanceCache::Entry *
LoadGSobjectInstanceCache::entry_by_basename(const char *file, const std::string &basename)
{
    auto k = keys_.find({text(file), Text(basename)});
    if (k == keys_.end())
        return nullptr;
    auto e = entries_.find(Text(k->second));
    return e == entries_.end() ? nullptr : &e->second;
}

GSobject *LoadGSobjectInstanceCache::instance(const char *file, const char *options)
{
    std::lock_guard lock(mutex_);
    Entry *e = entry(file, options);
    return e ? GSobject_newinstance(e->geometry.get()) : nullptr;
}

GSobject *LoadGSobjectInstanceCache::instance_by_basename(const char *file, const char *options,
                                                         const char *basename)
{
    std::lock_guard lock(mutex_);
    Entry *e = entry_by_basename(file, basename ? basename : "");
    if (!e)
        return nullptr;
    requests_[{text(file), text(options)}] = basename ? basename : "";
    return GSobject_newinstance(e->geometry.get());
}

std::string LoadGSobjectInstanceCache::store(const char *file, const char *options,
                                             const char *basename, GSobject *geometry)
{
    std::lock_guard lock(mutex_);
    std::unique_ptr<GSobject, GSobjectDelete> kept(GSobject_newinstance(geometry));
    if (!kept)
        return {};
    const std::string base = basename ? basename : "";
    std::string key = base;
    if (entries_.count(Text(key))) {
        key += "_0";
        while (entries_.count(Text(key)))
            next_key(key, base.size() + 1);
    }
    requests_[{text(file), text(options)}] = base;
    keys_[{text(file), Text(base)}] = key;
    entries_[Text(key)].geometry = std::move(kept);
    return key;
}

std::optional<std::string> LoadGSobjectInstanceCache::basename(const char *file,
                                                               const char *options)
{
    std::lock_guard lock(mutex_);
    auto request = requests_.find({text(file), text(options)});
    if (request == requests_.end())
        return std::nullopt;
    return request->second;
}

std::optional<std::string> LoadGSobjectInstanceCache::key(const char *file, const char *basename)
{
    std::lock_guard lock(mutex_);
    auto k = keys_.find({text(file), text(basename)});
    if (k == keys_.end())
        return std::nullopt;
    return k->second;
}

GSobject *LoadGSobjectInstanceCache::decimated(const char *file, const char *options)
{
    std::lock_guard lock(mutex_);
    Entry *e = entry(file, options);
    if (!e)
        return nullptr;
    if (!e->simplified) {
        e->simplified.reset(simplify(e->geometry.get()));
        if (!e->simplified)
            return nullptr;
    }
    return GSobject_newinstance(e->simplified.get());
}

void LoadGSobjectInstanceCache::keep_simplified(const char *file, const char *options,
                                                GSobject *simplified)
{
    std::unique_ptr<GSobject, GSobjectDelete> kept(simplified);
    std::lock_guard lock(mutex_);
    Entry *e = entry(file, options);
    if (e && !e->simplified)
        e->simplified = std::move(kept);
}

GSobject *LoadGSobjectInstanceCache::simplify(GSobject *geometry)
{
    std::unique_ptr<GSDB_Geometry, void (*)(GSDB_Geometry *)> copy(
        createGSDB_Geometry(geometry), &destroyGSDB_Geometry);
    std::unique_ptr<GSDB_Geometry, void (*)(GSDB_Geometry *)> coarse(
        decimateGSDB_Geometry(copy.get(), 0.02), &destroyGSDB_Geometry);
    return coarse ? createGSobject(coarse.get()) : nullptr;
}

bool LoadGSobjectInstanceCache::forget(const char *file, const char *options)
{
    std::lock_guard lock(mutex_);
    auto request = requests_.find({text(file), text(options)});
    if (request == requests_.end())
        return false;
    const std::pair<Text, Text> shared{text(file), Text(request->second)};
    if (auto k = keys_.find(shared); k != keys_.end()) {
        entries_.erase(Text(k->second));
        keys_.erase(k);
    }
    // Other options that led to the same geometry go with it.
    Less less;
    for (auto r = requests_.begin(); r != requests_.end();) {
        const bool same = !less(r->first.first, shared.first) &&
                          !less(shared.first, r->first.first) &&
                          !less(Text(r->second), shared.second) &&
                          !less(shared.second, Text(r->second));
        r = same ? requests_.erase(r) : std::next(r);
    }
    return true;
}

void LoadGSobjectInstanceCache::clear()
{
    std::lock_guard lock(mutex_);
    requests_.clear();
    keys_.clear();
    entries_.clear();
}

// The part of the object's first geometry level that names a file, forgotten both under its
// name as written and as joined to the assembly's directory, the name it was loaded under.
bool LoadGSobjectInstanceCache::forget_object(void *data)
{
    auto *o = static_cast<_object *>(data);
    if (!o)
        return false;
    for (int i = 1; i <= o->geolist.count(); ++i) {
        const _geometry *level = o->geolist.get(i);
        const char *part = level ? level->part.get_name() : nullptr;
        if (!part || !*part)
            continue;
        const char *params = level->part.get_params();
        forget(part, params);
        if (const char *dir = o->assembly ? RootGetAssyPath(o->assembly) : nullptr) {
            char joined[QEL_PATH_MAX];
            pathname_join(joined, part, dir, nullptr);
            if (*joined)
                forget(joined, params);
        }
        return true;
    }
    return false;
}

int LoadGSobjectInstanceCache::handle(short code, void *data, std::intptr_t)
{
    switch (code) {
    case MSG_OBJ_GEOMETRY_RELOAD:
        if (forget_object(data))
            msg_send(MSG_DROP_CACHED_LOOKUPS, nullptr, 0);
        break;
    case MSG_ASSEMBLY_DELETING:
        if (!suspended_) {
            clear();
            msg_send(MSG_DROP_CACHED_LOOKUPS, nullptr, 0);
        }
        break;
    case MSG_INSTANCE_CACHE_SUSPEND:
        suspended_ = true;
        break;
    case MSG_INSTANCE_CACHE_RESUME:
        suspended_ = false;
        break;
    default:
        break;
    }
    return 0;
}
