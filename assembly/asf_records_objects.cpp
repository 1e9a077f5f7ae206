// Records that create objects, presets, and the identity records of the current object.
#include "assembly/asf_reading.h"

#include <kivctrl/qel_math.h>
#include <kivctrl/ve_bind.h>

#include <strings.h>

#include <cstdint>
#include <memory>

namespace kiv::asf {

// The records inside ENVIRONMENT's parentheses are read at the top level and its ')' ends
// the file. Only a main file's first ENVIRONMENT makes the assembly, whatever the reading
// state was before (a host that reads a second file gets a second assembly); one met inside
// a container is read as a container of records, so its ')' closes no more than itself.
void read_environment(Reading &r)
{
    if (!r.open.empty()) {
        r.open_plain();
        return;
    }
    if (r.inserting() || r.root)
        return;
    KivAssembly *a = db_new_assembly(nullptr);
    if (!a || !a->GetRoot())
        return;
    r.root = a->GetRoot();
    r.current = r.root;
    r.closed = false;
    r.geometry = nullptr;
    set_assy_path(r.root, r.directory.c_str());
}

void read_group(Reading &r)
{
    r.open_object(OBJ_GROUP, CloseKind::Group, ASSY_STATE_GROUP);
}

void read_reference(Reading &r)
{
    r.open_object(OBJ_GROUP, CloseKind::Group, ASSY_STATE_GROUP);
}

void read_object(Reading &r)
{
    r.open_object(OBJ_OBJECT, CloseKind::Object, ASSY_STATE_OBJECT);
}

void read_light(Reading &r)
{
    r.open_object(OBJ_LIGHT, CloseKind::Object, ASSY_STATE_LIGHT);
}

// Viewpoints of an inserted file are read into a stand-in part and dropped.
void read_viewpoint(Reading &r)
{
    if (r.inserting())
        r.open_object(OBJ_OBJECT, CloseKind::DropObject, ASSY_STATE_VIEWPOINT);
    else
        r.open_object(OBJ_VIEWPOINT, CloseKind::Object, ASSY_STATE_VIEWPOINT);
}

void read_face(Reading &r)
{
    _object *parent = r.closed && r.current ? r.current->parent : r.current;
    if (!parent || parent->type != OBJ_OBJECT) {
        r.skip();
        return;
    }
    r.open_object(OBJ_FACE, CloseKind::Object, ASSY_STATE_OBJECT);
}

// PRESET reads its first three records itself: they describe the preset and do not name or
// move the current object. Any later records are ordinary records of the container.
void read_preset(Reading &r)
{
    auto preset = std::make_unique<_preset>();
    float v[3];
    bool ok = next_record_is(r, {"NAME"});
    if (ok)
        preset->name = read_string(r);
    ok = ok && next_record_is(r, {"LOCATION"});
    if (ok && read_floats(r, v, 3))
        preset->position = {v[0], v[1], v[2]};
    ok = ok && next_record_is(r, {"ORIENTATION"});
    if (ok && read_floats(r, v, 3))
        preset->orientation.from_eang(v[0], v[1], v[2]);
    _object *root = r.root ? r.root : (r.current ? DBGetRoot(r.current) : nullptr);
    if (ok && r.current && root)
        root->presetlist.append(preset.release());
    r.open_plain();
}

// Names longer than 255 characters keep their first 255.
void read_name(Reading &r)
{
    const std::string name = read_string(r);
    if (r.current && !r.current->name)
        obj_set_name(r.current, name.c_str());
}

void read_id(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current)
        obj_set_id(r.current, v);
}

void read_guid(Reading &r)
{
    const std::string guid = read_string(r);
    if (r.current)
        obj_set_guid(r.current, guid.c_str());
}

// Objects of an inserted file keep the source id the insertion gave them.
void read_sourceid(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current && !r.inserting())
        r.current->sourceid = v;
}

void read_usage(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current)
        obj_set_usage(r.current, v);
}

void read_expanded(Reading &r)
{
    int v = 0;
    if (read_int(r, v) && r.current)
        obj_set_expand(r.current, v);
}

namespace {

bool has_shape(_object *o)
{
    return o && o->vars.find("_GEOM_PARAMS") != 0;
}

} // namespace

// With background loading on, a part's activation (which loads its file) waits for the
// loading thread: the value itself is kept under "_ACTIVE", an integer, never a pointer.
void read_active(Reading &r)
{
    int v = 0;
    if (!read_int(r, v) || !r.current)
        return;
    _object *o = r.current;
    const bool part = o->type == OBJ_OBJECT && !has_shape(o);
    const bool face = o->type == OBJ_FACE && o->parent && !has_shape(o->parent);
    if (env_get_threading() && (part || face)) {
        o->vars.remove("_ACTIVE");
        o->vars.add("_ACTIVE", reinterpret_cast<void *>(static_cast<std::intptr_t>(v)));
        return;
    }
    obj_set_active(o, v);
}

namespace {

struct PropFields {
    std::string key, value, word, label;
};

// Four strings of at most 5000 characters, separated by commas.
PropFields read_prop_fields(Reading &r)
{
    constexpr std::size_t kMax = 5000;
    PropFields f;
    f.key = r.in.string_token(kMax);
    if (r.in.take(','))
        f.value = r.in.string_token(kMax);
    if (r.in.take(','))
        f.word = r.in.string_token(kMax);
    if (r.in.take(','))
        f.label = r.in.string_token(kMax);
    r.in.finish_body();
    return f;
}

PropertyState prop_state(const std::string &word)
{
    return strcasecmp(word.c_str(), "OFF") == 0 ? 1 : 0;
}

} // namespace

void read_prop(Reading &r)
{
    const PropFields f = read_prop_fields(r);
    KivAssembly *a = r.current ? obj_get_assembly(r.current) : nullptr;
    if (!a || f.key.empty())
        return;
    Props &defaults = a->GetDefaultProps();
    if (!defaults.get(f.key.c_str()))
        defaults.add(f.key.c_str(), "", f.key.c_str());
    obj_get_props(r.current)->add(f.key.c_str(), f.value.c_str(), prop_state(f.word));
}

void read_defprop(Reading &r)
{
    const PropFields f = read_prop_fields(r);
    KivAssembly *a = r.current ? obj_get_assembly(r.current) : nullptr;
    if (!a || f.key.empty())
        return;
    if (Property *p = a->GetDefaultProps().add(f.key.c_str(), f.label.c_str(), prop_state(f.word)))
        p->setLabel(f.value.c_str());
}

} // namespace kiv::asf
