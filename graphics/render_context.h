// The render context: a mirror of the OpenGL state that graphics objects change while a
// frame is drawn.
//
// Attribute values are installed and undone through a save stack, so nested objects can
// apply their attributes cheaply; installed values are only marked dirty and reach OpenGL
// just before geometry is drawn (send_pending). Colours, normals, render modes and
// primitives are sent only when they differ from what OpenGL already has. Steady frames
// allocate nothing: saved values live in nodes recycled through one free list per kind.
#pragma once

#include "graphics/font_lists.h"
#include "graphics/texture_bind.h"

#include <GL/gl.h>

#include <array>
#include <map>
#include <memory>
#include <vector>

// Attribute kinds of graphics objects; the render context saves and installs by kind.
enum GSattributekind {
    GS_ATTR_COLOR = 2,
    GS_ATTR_TRANSPARENCY = 3,
    GS_ATTR_SPECULAR = 4,
    GS_ATTR_SHININESS = 5,
    GS_ATTR_EMISSION = 7,
    GS_ATTR_HIGHLIGHT = 8,
    GS_ATTR_TEXTURE = 9,
    GS_ATTR_BOTHSIDES = 10,
};

// How a transparency value combines with the opacity in force.
enum class GSopacityapplier {
    object,   // replaces the object opacity
    face,     // multiplies into the object opacity inherited from the enclosing object
    assembly, // multiplies into the assembly opacity, which scales everything below
};

// Render modes, as kept in an object's rendering field and in the override.
enum GSrendermode { GS_MODE_NONE = 0, GS_MODE_WIREFRAME = 1, GS_MODE_FLAT = 2, GS_MODE_SMOOTH = 3 };

class GSrendercontext {
public:
    GSrendercontext();
    ~GSrendercontext();
    GSrendercontext(const GSrendercontext &) = delete;
    GSrendercontext &operator=(const GSrendercontext &) = delete;

    // Back to the values of a frame start: no colour, opacities 1, default material,
    // nothing saved. The OpenGL mirror (colour cache, mode, primitive) is kept.
    void begin_frame();
    // Forgets what OpenGL is believed to hold; used when the GL context changes.
    void invalidate_gl();

    // Attribute sets of nested objects: push a marker, install values, pop to the marker.
    void push_marker();
    void pop_to_marker();
    void install_color(const float rgb[3], int priority);
    void install_opacity(float opacity, GSopacityapplier applier, int priority);
    void install_specular(const float rgba[4], int priority);
    void install_shininess(float exponent, int priority);
    void install_emission(const float rgba[4], int priority);
    void install_highlight(unsigned mask, int priority);
    void install_texture(void *texture, int priority);
    void install_bothsides(bool on, int priority);

    // Sends every dirty material value (colour decision, specular, shininess, emission).
    void send_pending();
    // Sends a colour through the colour cache.
    void send_color(const float rgba[4]);
    // Forgets the cached colour after colours were sent around the cache; the material
    // decision is taken again before the next geometry.
    void forget_color()
    {
        cache_valid_ = false;
        dirty_color_ = true;
    }
    // Sets the render mode (1 wireframe, 2 flat, 3 smooth), honouring the override.
    void set_render_mode(int mode);
    // Opens primitive prim, ending the open one when it differs; end_primitive closes it.
    void begin_primitive(GLenum prim);
    void end_primitive();

    float combined_opacity() const { return assembly_opacity_ * object_opacity_; }
    const float *color() const { return color_.data(); }
    bool has_color_attribute() const { return color_[0] >= 0.0f; }
    bool hascolor() const { return hascolor_; }
    unsigned highlight() const { return highlight_; }
    const float *current_glcolor() const { return cache_.data(); }
    bool bothsides() const { return bothsides_; }
    // The texture bound for the geometry drawn now, or null.
    const GStexture *bound_texture() const { return textures.bound(); }
    // Save-stack nodes allocated so far; constant once frames repeat.
    size_t saved_nodes() const { return pool_.size(); }

    // State the universe and the drawing functions steer.
    bool transparentpass = false;
    bool visible = true;
    int renderoverride = GS_MODE_NONE;
    int currentmode = -1;
    GLenum currentprimitive = GL_TRIANGLES;
    int lastnormal = -1;
    bool transparencyenable = true;
    bool texturingallowed = true;
    int onlyenvelopes = 0;
    bool invisiblesasboxes = false;
    bool oxygenworkaround = true;
    // Texture objects and font lists of this GL context.
    GStextureobjects textures;
    GSfontlists fonts;

    // Display lists compiled from meshes, by (mesh, variant); valid in this GL context only.
    // owner is the mesh's shared record: a list whose owner died (its address may be reused
    // by a new mesh) or whose stamp differs from the mesh's current one is stale and deleted.
    GLuint cached_list(const void *mesh, unsigned variant, size_t stamp, const std::weak_ptr<void> &owner);
    void store_list(const void *mesh, unsigned variant, size_t stamp, std::weak_ptr<void> owner, GLuint list);
    // Deletes the lists of one mesh (mesh null: all of them).
    void forget_lists(const void *mesh);

private:
    union Value {
        float f[4];
        unsigned mask;
        void *ptr;
        bool on;
    };
    struct Saved {
        int kind; // 0 marks the start of one object's attribute set
        int priority;
        GSopacityapplier applier;
        Value value;
    };
    Saved *take(int kind);
    void save(int kind, int priority, const Value &value, GSopacityapplier applier = GSopacityapplier::object);
    void restore(const Saved &saved);
    void apply_bothsides();
    void decide_color();
    // The texture to show: installed, active, with an image, and texturing allowed.
    const GStexture *active_texture() const;
    void send_texture();

    std::array<float, 3> color_;
    int color_priority_ = 0;
    float object_opacity_ = 1.0f;
    float assembly_opacity_ = 1.0f;
    int opacity_priority_ = 0;
    std::array<float, 4> specular_;
    int specular_priority_ = 0;
    float shininess_ = 30.0f;
    int shininess_priority_ = 0;
    std::array<float, 4> emission_;
    int emission_priority_ = 0;
    unsigned highlight_ = 0;
    int highlight_priority_ = 0;
    void *texture_ = nullptr;
    int texture_priority_ = 0;
    bool bothsides_ = false;
    int bothsides_priority_ = 0;

    bool dirty_color_ = true, dirty_specular_ = true, dirty_shininess_ = true;
    bool dirty_emission_ = true, dirty_texture_ = true;
    bool hascolor_ = false;
    std::array<float, 4> cache_;
    std::array<float, 4> envcolor_{1.0f, 1.0f, 1.0f, 1.0f};
    std::array<float, 4> bound_envcolor_{};
    bool cache_valid_ = false;
    bool primitive_open_ = false;
    int gl_bothsides_ = -1; // what GL_CULL_FACE reflects: -1 unknown

    // Saved values: the stack holds pointers into the pool; free nodes wait per kind.
    std::vector<Saved *> stack_;
    std::array<std::vector<Saved *>, 11> free_;
    std::vector<std::unique_ptr<Saved>> pool_;

    struct CachedList {
        size_t stamp;
        std::weak_ptr<void> owner;
        GLuint id;
    };
    std::map<std::pair<const void *, unsigned>, CachedList> lists_;
};

// The 12 highlight slot colours.
extern const float GShighlightcolors[12][3];

// The render context in use; ADT_UseSecondaryContext switches it.
GSrendercontext &GScurrentcontext();
void GSsetcurrentcontext(GSrendercontext *ctx);
