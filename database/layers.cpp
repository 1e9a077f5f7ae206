// Layers: named, numbered groups of objects selected, deselected or toggled together.
#include <kivctrl/selection.h>

#include <kivctrl/kiv_db.h>

#include "database/ordered_objects.h"
#include "database/selection_state.h"

#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

namespace {

struct Layer {
    bool deleted = false;
    std::optional<std::string> name;
    kiv::db::OrderedObjects members;
};

std::vector<std::unique_ptr<Layer>> &layers()
{
    static std::vector<std::unique_ptr<Layer>> all;
    return all;
}

// The live layer numbered n, null when missing or deleted.
Layer *live(int n)
{
    auto &all = layers();
    if (n < 1 || n > static_cast<int>(all.size()))
        return nullptr;
    Layer *l = all[static_cast<std::size_t>(n - 1)].get();
    return l->deleted ? nullptr : l;
}

std::optional<std::string> stored_name(const char *name)
{
    if (!name || !*name)
        return std::nullopt;
    return std::string(name);
}

void take_off(_object *o)
{
    if (Layer *l = live(o->layer))
        l->members.remove(o);
    o->layer = 0;
}

}  // namespace

int layer_add(const char *name)
{
    auto &all = layers();
    try {
        auto l = std::make_unique<Layer>();
        l->name = stored_name(name);
        all.push_back(std::move(l));
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return static_cast<int>(all.size());
}

int layer_getnum(const char *name)
{
    if (!name)
        return 0;
    auto &all = layers();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (all[i]->name && *all[i]->name == name)
            return static_cast<int>(i) + 1;
    return 0;
}

int layer_getnum(_object *o)
{
    return o ? o->layer : 0;
}

const char *layer_getname(int layer)
{
    Layer *l = live(layer);
    return l && l->name ? l->name->c_str() : nullptr;
}

const char *layer_getname(_object *o)
{
    return layer_getname(layer_getnum(o));
}

int layer_setname(int layer, const char *name)
{
    Layer *l = live(layer);
    if (!l)
        return 0;
    try {
        l->name = stored_name(name);
    } catch (const std::bad_alloc &) {
        return 0;
    }
    return 1;
}

int layer_count()
{
    return static_cast<int>(layers().size());
}

int layer_delete(int layer)
{
    Layer *l = live(layer);
    if (!l)
        return 0;
    l->deleted = true;
    for (_object *o : l->members.snapshot())
        o->layer = 0;
    l->members.clear();
    return 1;
}

int layer_delete(const char *name)
{
    return layer_delete(layer_getnum(name));
}

void layer_delete_all()
{
    for (int n = layer_count(); n >= 1; --n)
        layer_delete(n);
    layers().clear();
}

int layer_add_to_layer(_object *o, int layer)
{
    Layer *l = live(layer);
    if (!o || !l)
        return 0;
    if (o->layer == layer)
        return 1;
    take_off(o);
    o->layer = layer;
    l->members.append(o);
    return 1;
}

int layer_add_to_layer(_object *o, const char *name)
{
    return layer_add_to_layer(o, layer_getnum(name));
}

int layer_remove_from_layer(_object *o)
{
    if (!o || o->layer == 0)
        return 0;
    take_off(o);
    return 1;
}

int layer_select(int layer)
{
    Layer *l = live(layer);
    if (!l)
        return 0;
    int selected = 0;
    for (_object *o : l->members.snapshot())
        selected += kiv::db::select_into_active(o);
    return selected;
}

int layer_select(const char *name)
{
    return layer_select(layer_getnum(name));
}

int layer_deselect(int layer)
{
    Layer *l = live(layer);
    if (!l)
        return 0;
    int deselected = 0;
    for (_object *o : l->members.snapshot())
        deselected += kiv::db::deselect_from_active(o);
    return deselected;
}

int layer_deselect(const char *name)
{
    return layer_deselect(layer_getnum(name));
}

int layer_picked(int layer)
{
    Layer *l = live(layer);
    if (!l)
        return 0;
    const std::vector<_object *> members = l->members.snapshot();
    for (_object *o : members)
        object_picked(o);
    return static_cast<int>(members.size());
}

int layer_picked(const char *name)
{
    return layer_picked(layer_getnum(name));
}
