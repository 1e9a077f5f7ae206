// Bookmarks kept with objects.
#include <kivctrl/bookmark.h>
#include <kivctrl/kiv_db.h>

#include <cstdlib>
#include <cstring>

namespace {

constexpr std::uint64_t kAllButLinkage = ((std::uint64_t{1} << _bookmark::kMaskSize) - 1) & ~1ull;

bool same_name(const char *a, const char *b)
{
    return a && b ? std::strcmp(a, b) == 0 : a == b;
}

} // namespace

_bookmark::_bookmark(unsigned char f) : flag(f), mask(kAllButLinkage) {}

_bookmark::~_bookmark()
{
    std::free(name);
}

void _bookmark::set_name(const char *text)
{
    char *c = text ? strdup(text) : nullptr;
    std::free(name);
    name = c;
}

int _bookmark::get_mask(int i) const
{
    return i >= 0 && i < kMaskSize ? static_cast<int>((mask >> i) & 1u) : 0;
}

void _bookmark::set_mask(int i, int on)
{
    if (i < 0 || i >= kMaskSize)
        return;
    const std::uint64_t bit = std::uint64_t{1} << i;
    mask = on ? mask | bit : mask & ~bit;
}

_bookmark *obj_find_bookmark(_object *o, const char *name)
{
    if (!o)
        return nullptr;
    for (int i = 1; i <= o->bookmarks.count(); ++i) {
        if (same_name(o->bookmarks.get(i)->name, name))
            return o->bookmarks.get(i);
    }
    return nullptr;
}

void obj_add_bookmark(_object *o, _bookmark *b)
{
    if (!b)
        return;
    if (!o) {
        delete b;
        return;
    }
    for (int i = 1; i <= o->bookmarks.count(); ++i) {
        _bookmark *old = o->bookmarks.get(i);
        if (same_name(old->name, b->name)) {
            o->bookmarks.set(i, b);
            delete old;
            return;
        }
    }
    o->bookmarks.append(b);
}

void bookmark_delete(_bookmark *b)
{
    delete b;
}
