// Attribute snapshots: copies duplicate the owned texture and note records.
#include <kivctrl/path_node.h>

#include <cstring>

namespace {

char *copy_text(const char *s)
{
    return s ? strdup(s) : nullptr;
}

_obj_texture *copy_texture(const _obj_texture *t)
{
    if (!t)
        return nullptr;
    auto *c = new _obj_texture;
    c->name = copy_text(t->name);
    c->method = t->method;
    c->quality = t->quality;
    c->type = t->type;
    c->active = t->active;
    c->scale = t->scale;
    c->position = t->position;
    c->angle = t->angle;
    c->grid_scale = t->grid_scale;
    c->grid_position = t->grid_position;
    c->grid_orientation = t->grid_orientation;
    return c;
}

_obj_note *copy_note(const _obj_note *n)
{
    if (!n)
        return nullptr;
    auto *c = new _obj_note;
    c->name = copy_text(n->name);
    c->link = copy_text(n->link);
    c->offset = n->offset;
    c->visible = n->visible;
    c->foreground = n->foreground;
    c->leader = n->leader;
    return c;
}

}  // namespace

PathNode::PathNode() = default;

PathNode::PathNode(const PathNode &other)
{
    *this = other;
}

PathNode &PathNode::operator=(const PathNode &other)
{
    if (this == &other)
        return *this;
    position = other.position;
    orientation = other.orientation;
    material = other.material;
    intensity = other.intensity;
    exponent = other.exponent;
    light_angle = other.light_angle;
    view_angle = other.view_angle;
    env_ambient = other.env_ambient;
    env_textcolor = other.env_textcolor;
    _obj_texture *t = copy_texture(other.texture);
    delete texture;
    texture = t;
    _obj_note *n = copy_note(other.note);
    delete note;
    note = n;
    name_vis = other.name_vis;
    vis = other.vis;
    env_suspend_linkage = other.env_suspend_linkage;
    env_clip = other.env_clip;
    gen_kind = other.gen_kind;
    gen_segments = other.gen_segments;
    gen_segments2 = other.gen_segments2;
    std::memcpy(gen_params, other.gen_params, sizeof gen_params);
    for (int i = 0; i < 4; ++i)
        spline[i] = other.spline[i];
    owner = other.owner;
    distinct = other.distinct;
    return *this;
}

PathNode::~PathNode()
{
    delete texture;
    delete note;
}

_obj_texture &PathNode::texture_record()
{
    if (!texture)
        texture = new _obj_texture;
    return *texture;
}

_obj_note &PathNode::note_record()
{
    if (!note)
        note = new _obj_note;
    return *note;
}
