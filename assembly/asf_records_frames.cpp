// Frame records: one attribute of a key node (inside KEYFRAME) or of a bookmark each. Every
// frame record reads its body, wherever it stands: a body left unread would reach the
// enclosing container as a stray word and close it early.
#include "assembly/asf_reading.h"

#include <kivctrl/geom_params.h>
#include <kivctrl/qel_pathname.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace kiv::asf {

namespace {

constexpr float kRadiansPerDegree = 0.017453292519943295f;

// What the body of each attribute's record holds.
enum class Body { Int, Floats, File, Shape };

struct Shape {
    Body body;
    int count;  // floats
};

Shape shape_of(int bit)
{
    switch (bit) {
    case PATH_ATTR_SUSPEND_LINKAGE:
    case PATH_ATTR_NAME_VIS:
    case PATH_ATTR_VIS:
    case PATH_ATTR_NOTE_LEADER:
    case PATH_ATTR_NOTE_FOREGROUND:
    case PATH_ATTR_NOTE_VISIBLE:
    case PATH_ATTR_TEXTURE_ACTIVE:
    case PATH_ATTR_TEXTURE_METHOD:
    case PATH_ATTR_TEXTURE_QUALITY:
    case PATH_ATTR_TEXTURE_TYPE:
    case PATH_ATTR_ENV_CLIP:
    case PATH_ATTR_METALLIC:
    case PATH_ATTR_SHADOW:
        return {Body::Int, 0};
    case PATH_ATTR_NOTE_NAME:
    case PATH_ATTR_NOTE_LINK:
    case PATH_ATTR_TEXTURE_NAME:
        return {Body::File, 0};
    case PATH_ATTR_GEOMETRY:
        return {Body::Shape, 0};
    case PATH_ATTR_NOTE_OFFSET:
    case PATH_ATTR_TEXTURE_SCALE:
    case PATH_ATTR_TEXTURE_POSITION:
        return {Body::Floats, 2};
    case PATH_ATTR_POSITION:
    case PATH_ATTR_ORIENTATION:
    case PATH_ATTR_COLOR:
    case PATH_ATTR_EMISSION:
    case PATH_ATTR_SPECULAR:
    case PATH_ATTR_TEXTURE_GRID_POSITION:
    case PATH_ATTR_TEXTURE_GRID_ORIENTATION:
    case PATH_ATTR_TEXTURE_GRID_SCALE:
    case PATH_ATTR_ENV_TEXTCOLOR:
        return {Body::Floats, 3};
    default:
        return {Body::Floats, 1};
    }
}

QEL_VECT3 vect3(const float *v)
{
    return {v[0], v[1], v[2]};
}

QEL_COLOR color(const float *v)
{
    return {v[0], v[1], v[2]};
}

QEL_QUAT turn(const float *v)
{
    QEL_QUAT q;
    q.from_eang(v[0], v[1], v[2]);
    return q;
}

void store_text(char *&slot, const std::string &text)
{
    std::free(slot);
    slot = text.empty() ? nullptr : strdup(text.c_str());
}

void set_int(PathNode &n, int bit, int v)
{
    switch (bit) {
    case PATH_ATTR_SUSPEND_LINKAGE: n.env_suspend_linkage = v; break;
    case PATH_ATTR_NAME_VIS: n.name_vis = v; break;
    case PATH_ATTR_VIS: n.vis = v; break;
    case PATH_ATTR_NOTE_LEADER: n.note_record().leader = v; break;
    case PATH_ATTR_NOTE_FOREGROUND: n.note_record().foreground = v; break;
    case PATH_ATTR_NOTE_VISIBLE: n.note_record().visible = v; break;
    case PATH_ATTR_TEXTURE_ACTIVE: n.texture_record().active = v; break;
    case PATH_ATTR_TEXTURE_METHOD: n.texture_record().method = v; break;
    case PATH_ATTR_TEXTURE_QUALITY: n.texture_record().quality = v; break;
    case PATH_ATTR_TEXTURE_TYPE: n.texture_record().type = v; break;
    case PATH_ATTR_ENV_CLIP: n.env_clip = v; break;
    case PATH_ATTR_METALLIC: n.material.metallic = v; break;
    case PATH_ATTR_SHADOW: n.material.shadow = v; break;
    default: break;
    }
}

void set_text(PathNode &n, int bit, const std::string &text)
{
    switch (bit) {
    case PATH_ATTR_NOTE_NAME: store_text(n.note_record().name, text); break;
    case PATH_ATTR_NOTE_LINK: store_text(n.note_record().link, text); break;
    case PATH_ATTR_TEXTURE_NAME: store_text(n.texture_record().name, text); break;
    default: break;
    }
}

void set_floats(PathNode &n, int bit, const float *v)
{
    switch (bit) {
    case PATH_ATTR_POSITION:
        n.position = vect3(v);
        if (n.owner)
            n.owner->valid = 0;  // the curve through the nodes is out of date
        break;
    case PATH_ATTR_ORIENTATION: n.orientation = turn(v); break;
    case PATH_ATTR_COLOR: n.material.diffuse = color(v); break;
    case PATH_ATTR_TRANSPARENCY: n.material.transparency = v[0]; break;
    case PATH_ATTR_REFLECTIVITY: n.material.reflectivity = v[0]; break;
    case PATH_ATTR_EMISSION: n.material.emission = color(v); break;
    case PATH_ATTR_SPECULAR: n.material.specular = color(v); break;
    case PATH_ATTR_SHININESS: n.material.shininess = v[0]; break;
    case PATH_ATTR_NOTE_OFFSET: n.note_record().offset = {v[0], v[1]}; break;
    case PATH_ATTR_TEXTURE_SCALE: n.texture_record().scale = {v[0], v[1]}; break;
    case PATH_ATTR_TEXTURE_POSITION: n.texture_record().position = {v[0], v[1]}; break;
    // Written in degrees; nodes keep radians.
    case PATH_ATTR_TEXTURE_ANGLE: n.texture_record().angle = v[0] * kRadiansPerDegree; break;
    case PATH_ATTR_TEXTURE_GRID_POSITION: n.texture_record().grid_position = vect3(v); break;
    case PATH_ATTR_TEXTURE_GRID_ORIENTATION: n.texture_record().grid_orientation = turn(v); break;
    case PATH_ATTR_TEXTURE_GRID_SCALE: n.texture_record().grid_scale = vect3(v); break;
    case PATH_ATTR_INTENSITY: n.intensity = v[0]; break;
    case PATH_ATTR_EXPONENT: n.exponent = v[0]; break;
    case PATH_ATTR_LIGHT_ANGLE: n.light_angle = v[0]; break;
    case PATH_ATTR_VIEW_ANGLE: n.view_angle = v[0]; break;
    case PATH_ATTR_ENV_TEXTCOLOR: n.env_textcolor = color(v); break;
    case PATH_ATTR_ENV_AMBIENT: n.env_ambient = v[0]; break;
    case PATH_ATTR_IOR: n.material.ior = v[0]; break;
    case PATH_ATTR_ROUGHNESS: n.material.roughness = v[0]; break;
    default: break;
    }
}

// FRAME_GENGEOM ( kind, values ), read as GEOMETRY is; an unknown kind makes no shape.
_geom_params read_shape(Reading &r)
{
    const std::string kind = r.in.string_token(Input::kWordMax);
    std::string values;
    if (r.in.take(','))
        values = r.in.value();
    else
        r.in.finish_body();
    _geom_params g;
    if (!fill_shape(g, kind, values))
        g.kind = 0;
    return g;
}

void set_shape(PathNode &n, const _geom_params &g)
{
    n.gen_kind = g.kind;
    n.gen_segments = g.segments;
    n.gen_segments2 = g.segments2;
    std::memcpy(n.gen_params, g.p, sizeof n.gen_params);
}

} // namespace

PathNode *frame_target(Reading &r, int bit)
{
    if (r.path) {
        PathNode *last = r.path->get_node(r.path->get_nodecount() - 1);
        if (last)
            r.path->set_status(bit, 1);
        return last;
    }
    return r.bookmark();
}

// Values that do not scan leave the attribute, and the path's mask, as they were.
void read_frame(Reading &r, int bit)
{
    const Shape s = shape_of(bit);
    switch (s.body) {
    case Body::Int: {
        int v = 0;
        if (!read_int(r, v))
            return;
        if (PathNode *n = frame_target(r, bit))
            set_int(*n, bit, v);
        return;
    }
    case Body::Floats: {
        float v[3];
        if (!read_floats(r, v, s.count))
            return;
        if (PathNode *n = frame_target(r, bit))
            set_floats(*n, bit, v);
        return;
    }
    case Body::File: {
        const std::string text = r.joined(read_string(r, QEL_PATH_MAX - 1));
        if (PathNode *n = frame_target(r, bit))
            set_text(*n, bit, text);
        return;
    }
    case Body::Shape: {
        const _geom_params g = read_shape(r);
        if (PathNode *n = frame_target(r, bit))
            set_shape(*n, g);
        return;
    }
    }
}

} // namespace kiv::asf
