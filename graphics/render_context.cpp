#include "graphics/render_context.h"

#include "graphics/texture_record.h"

#include <cstring>

const float GShighlightcolors[12][3] = {
    {0, 0, 0}, {1, 0.5f, 0}, {0, 0.5f, 1}, {0, 1, 0.5f}, {0, 1, 1}, {1, 0, 0},
    {0, 1, 0}, {0, 0, 1},    {1, 1, 0},    {1, 0, 1},    {1, 1, 1}, {0, 0, 0},
};

namespace {
GSrendercontext &default_context()
{
    static GSrendercontext ctx;
    return ctx;
}
GSrendercontext *g_current = nullptr;
} // namespace

GSrendercontext &GScurrentcontext()
{
    return g_current ? *g_current : default_context();
}

void GSsetcurrentcontext(GSrendercontext *ctx)
{
    g_current = ctx;
}

GSrendercontext::GSrendercontext()
{
    begin_frame();
}

GSrendercontext::~GSrendercontext()
{
    if (g_current == this)
        g_current = nullptr;
}

void GSrendercontext::begin_frame()
{
    while (!stack_.empty())
        pop_to_marker();
    color_ = {-1.0f, 1.0f, 1.0f};
    color_priority_ = 0;
    object_opacity_ = assembly_opacity_ = 1.0f;
    opacity_priority_ = 0;
    specular_ = {0.2f, 0.2f, 0.2f, 1.0f};
    specular_priority_ = 0;
    shininess_ = 30.0f;
    shininess_priority_ = 0;
    emission_ = {0.0f, 0.0f, 0.0f, 1.0f};
    emission_priority_ = 0;
    highlight_ = 0;
    highlight_priority_ = 0;
    texture_ = nullptr;
    texture_priority_ = 0;
    bothsides_ = false;
    bothsides_priority_ = 0;
    dirty_color_ = dirty_specular_ = dirty_shininess_ = dirty_emission_ = dirty_texture_ = true;
    transparentpass = false;
    visible = true;
    lastnormal = -1;
}

void GSrendercontext::invalidate_gl()
{
    cache_valid_ = false;
    currentmode = -1;
    currentprimitive = GL_TRIANGLES;
    primitive_open_ = false;
    gl_bothsides_ = -1;
    lists_.clear();
    textures.forget();
    fonts.forget();
    dirty_color_ = dirty_specular_ = dirty_shininess_ = dirty_emission_ = dirty_texture_ = true;
}

GSrendercontext::Saved *GSrendercontext::take(int kind)
{
    auto &list = free_[kind];
    if (!list.empty()) {
        Saved *node = list.back();
        list.pop_back();
        return node;
    }
    pool_.push_back(std::make_unique<Saved>());
    return pool_.back().get();
}

void GSrendercontext::save(int kind, int priority, const Value &value, GSopacityapplier applier)
{
    Saved *node = take(kind);
    node->kind = kind;
    node->priority = priority;
    node->applier = applier;
    node->value = value;
    stack_.push_back(node);
}

void GSrendercontext::push_marker()
{
    save(0, 0, Value{});
}

void GSrendercontext::pop_to_marker()
{
    while (!stack_.empty()) {
        Saved *node = stack_.back();
        stack_.pop_back();
        free_[node->kind].push_back(node);
        if (node->kind == 0)
            return;
        restore(*node);
    }
}

void GSrendercontext::restore(const Saved &saved)
{
    switch (saved.kind) {
    case GS_ATTR_COLOR:
        std::memcpy(color_.data(), saved.value.f, sizeof(float) * 3);
        color_priority_ = saved.priority;
        dirty_color_ = true;
        break;
    case GS_ATTR_TRANSPARENCY:
        // Both opacities are saved together; the applier only says which one changed.
        object_opacity_ = saved.value.f[0];
        assembly_opacity_ = saved.value.f[1];
        opacity_priority_ = saved.priority;
        dirty_color_ = true;
        break;
    case GS_ATTR_SPECULAR:
        std::memcpy(specular_.data(), saved.value.f, sizeof(float) * 4);
        specular_priority_ = saved.priority;
        dirty_specular_ = true;
        break;
    case GS_ATTR_SHININESS:
        shininess_ = saved.value.f[0];
        shininess_priority_ = saved.priority;
        dirty_shininess_ = true;
        break;
    case GS_ATTR_EMISSION:
        std::memcpy(emission_.data(), saved.value.f, sizeof(float) * 4);
        emission_priority_ = saved.priority;
        dirty_emission_ = true;
        break;
    case GS_ATTR_HIGHLIGHT:
        highlight_ = saved.value.mask;
        highlight_priority_ = saved.priority;
        dirty_color_ = true;
        break;
    case GS_ATTR_TEXTURE:
        texture_ = saved.value.ptr;
        texture_priority_ = saved.priority;
        dirty_texture_ = dirty_color_ = true;
        break;
    case GS_ATTR_BOTHSIDES:
        bothsides_ = saved.value.on;
        bothsides_priority_ = saved.priority;
        apply_bothsides();
        break;
    default:
        break;
    }
}

void GSrendercontext::install_color(const float rgb[3], int priority)
{
    Value v{};
    std::memcpy(v.f, color_.data(), sizeof(float) * 3);
    save(GS_ATTR_COLOR, color_priority_, v);
    std::memcpy(color_.data(), rgb, sizeof(float) * 3);
    color_priority_ = priority;
    dirty_color_ = true;
}

void GSrendercontext::install_opacity(float opacity, GSopacityapplier applier, int priority)
{
    Value v{};
    v.f[0] = object_opacity_;
    v.f[1] = assembly_opacity_;
    save(GS_ATTR_TRANSPARENCY, opacity_priority_, v, applier);
    switch (applier) {
    case GSopacityapplier::object:
        object_opacity_ = opacity;
        break;
    case GSopacityapplier::face:
        object_opacity_ *= opacity;
        break;
    case GSopacityapplier::assembly:
        assembly_opacity_ *= opacity;
        break;
    }
    opacity_priority_ = priority;
    dirty_color_ = true;
}

void GSrendercontext::install_specular(const float rgba[4], int priority)
{
    Value v{};
    std::memcpy(v.f, specular_.data(), sizeof(float) * 4);
    save(GS_ATTR_SPECULAR, specular_priority_, v);
    std::memcpy(specular_.data(), rgba, sizeof(float) * 4);
    specular_priority_ = priority;
    dirty_specular_ = true;
}

void GSrendercontext::install_shininess(float exponent, int priority)
{
    Value v{};
    v.f[0] = shininess_;
    save(GS_ATTR_SHININESS, shininess_priority_, v);
    shininess_ = exponent;
    shininess_priority_ = priority;
    dirty_shininess_ = true;
}

void GSrendercontext::install_emission(const float rgba[4], int priority)
{
    Value v{};
    std::memcpy(v.f, emission_.data(), sizeof(float) * 4);
    save(GS_ATTR_EMISSION, emission_priority_, v);
    std::memcpy(emission_.data(), rgba, sizeof(float) * 4);
    emission_priority_ = priority;
    dirty_emission_ = true;
}

void GSrendercontext::install_highlight(unsigned mask, int priority)
{
    Value v{};
    v.mask = highlight_;
    save(GS_ATTR_HIGHLIGHT, highlight_priority_, v);
    highlight_ = mask;
    highlight_priority_ = priority;
    dirty_color_ = true;
}

void GSrendercontext::install_texture(void *texture, int priority)
{
    Value v{};
    v.ptr = texture_;
    save(GS_ATTR_TEXTURE, texture_priority_, v);
    texture_ = texture;
    texture_priority_ = priority;
    dirty_texture_ = dirty_color_ = true;
}

void GSrendercontext::install_bothsides(bool on, int priority)
{
    Value v{};
    v.on = bothsides_;
    save(GS_ATTR_BOTHSIDES, bothsides_priority_, v);
    bothsides_ = on;
    bothsides_priority_ = priority;
    apply_bothsides();
}

void GSrendercontext::apply_bothsides()
{
    // Applied at once, not lazily: culling decides what the next geometry shows.
    int want = bothsides_ ? 1 : 0;
    if (want == gl_bothsides_)
        return;
    if (bothsides_)
        glDisable(GL_CULL_FACE);
    else
        glEnable(GL_CULL_FACE);
    gl_bothsides_ = want;
}

void GSrendercontext::decide_color()
{
    float alpha = combined_opacity();
    float rgba[4];
    if (color_[0] >= 0.0f) {
        rgba[0] = color_[0], rgba[1] = color_[1], rgba[2] = color_[2];
        hascolor_ = true;
    } else {
        rgba[0] = rgba[1] = rgba[2] = 1.0f;
        hascolor_ = false;
    }
    rgba[3] = alpha;
    // A texture shows its image unmodulated: the colour moves to the environment colour,
    // except for reflections, which the object colour tints.
    std::memcpy(envcolor_.data(), rgba, sizeof rgba);
    if (const GStexture *t = active_texture(); t && t->type != 2) {
        rgba[0] = rgba[1] = rgba[2] = 1.0f;
        hascolor_ = true;
    }
    // Bit 15 suppresses the highlight colour while keeping the mask.
    if (highlight_ != 0 && !(highlight_ & 0x8000u)) {
        envcolor_ = {1.0f, 1.0f, 1.0f, alpha};
        rgba[0] = rgba[1] = rgba[2] = 1.0f;
        for (int slot = 11; slot >= 0; --slot) {
            if (highlight_ & (1u << slot)) {
                std::memcpy(rgba, GShighlightcolors[slot], sizeof(float) * 3);
                break;
            }
        }
        hascolor_ = true;
    }
    if (hascolor_)
        send_color(rgba);
}

void GSrendercontext::send_pending()
{
    if (dirty_color_) {
        decide_color();
        dirty_color_ = false;
    }
    if (dirty_specular_) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, specular_.data());
        dirty_specular_ = false;
    }
    if (dirty_shininess_) {
        glMaterialf(GL_FRONT_AND_BACK, GL_SHININESS, shininess_);
        dirty_shininess_ = false;
    }
    if (dirty_emission_) {
        glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, emission_.data());
        dirty_emission_ = false;
    }
    send_texture();
    dirty_texture_ = false;
}

const GStexture *GSrendercontext::active_texture() const
{
    const auto *t = static_cast<const GStexture *>(texture_);
    return texturingallowed && t && !t->inactive && t->image ? t : nullptr;
}

void GSrendercontext::send_texture()
{
    const GStexture *t = active_texture();
    if (t == textures.bound() && (!t || t->type != 1 || envcolor_ == bound_envcolor_))
        return;
    // Texture state cannot change inside glBegin/glEnd.
    end_primitive();
    textures.bind(t, envcolor_.data());
    bound_envcolor_ = envcolor_;
}

void GSrendercontext::send_color(const float rgba[4])
{
    if (cache_valid_ && std::memcmp(cache_.data(), rgba, sizeof(float) * 4) == 0)
        return;
    std::memcpy(cache_.data(), rgba, sizeof(float) * 4);
    cache_valid_ = true;
    glColor4fv(rgba);
}

void GSrendercontext::set_render_mode(int mode)
{
    if (renderoverride != GS_MODE_NONE)
        mode = renderoverride;
    if (mode == currentmode)
        return;
    end_primitive();
    switch (mode) {
    case GS_MODE_WIREFRAME:
        glDisable(GL_LIGHTING);
        glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
        glShadeModel(GL_FLAT);
        break;
    case GS_MODE_FLAT:
        glEnable(GL_LIGHTING);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glShadeModel(GL_FLAT);
        break;
    default:
        mode = GS_MODE_SMOOTH;
        glEnable(GL_LIGHTING);
        glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
        glShadeModel(GL_SMOOTH);
        break;
    }
    currentmode = mode;
    // The mode set lighting itself: the next primitive starts from a clean slate.
    currentprimitive = GL_TRIANGLES;
}

void GSrendercontext::begin_primitive(GLenum prim)
{
    if (primitive_open_ && prim == currentprimitive)
        return;
    end_primitive();
    // Lines are drawn unlit; lighting comes back when leaving them, except in wireframe.
    if (prim == GL_LINES && currentprimitive != GL_LINES)
        glDisable(GL_LIGHTING);
    else if (prim != GL_LINES && currentprimitive == GL_LINES && currentmode != GS_MODE_WIREFRAME)
        glEnable(GL_LIGHTING);
    glBegin(prim);
    currentprimitive = prim;
    primitive_open_ = true;
}

void GSrendercontext::end_primitive()
{
    if (!primitive_open_)
        return;
    glEnd();
    primitive_open_ = false;
}

GLuint GSrendercontext::cached_list(const void *mesh, unsigned variant, size_t stamp,
                                    const std::weak_ptr<void> &owner)
{
    auto it = lists_.find({mesh, variant});
    if (it == lists_.end())
        return 0;
    const std::weak_ptr<void> &held = it->second.owner;
    const bool same_owner = !held.expired() && !held.owner_before(owner) && !owner.owner_before(held);
    if (same_owner && it->second.stamp == stamp)
        return it->second.id;
    glDeleteLists(it->second.id, 1);
    lists_.erase(it);
    return 0;
}

void GSrendercontext::store_list(const void *mesh, unsigned variant, size_t stamp,
                                 std::weak_ptr<void> owner, GLuint list)
{
    lists_[{mesh, variant}] = CachedList{stamp, std::move(owner), list};
}

void GSrendercontext::forget_lists(const void *mesh)
{
    for (auto it = lists_.begin(); it != lists_.end();) {
        if (!mesh || it->first.first == mesh) {
            glDeleteLists(it->second.id, 1);
            it = lists_.erase(it);
        } else {
            ++it;
        }
    }
}
