// OpenGL texture objects for texture records, kept per GL context.
//
// Each record gets one texture object per context, uploaded on first use and again only when
// its image or (for clamped textures) its border colour changes. Objects of destroyed records
// are deleted on the drawing thread, the next time the context binds or sweeps.
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstdint>
#include <map>
#include <memory>

struct GStexture;
class GSbitmap;

class GStextureobjects {
public:
    GStextureobjects() = default;
    GStextureobjects(const GStextureobjects &) = delete;
    GStextureobjects &operator=(const GStextureobjects &) = delete;

    // Makes t the bound texture (null: none), with envcolor as the environment colour: the
    // object colour the image stands in for, and the border of a clamped texture.
    void bind(const GStexture *t, const float envcolor[4]);
    // The record bound now, or null.
    const GStexture *bound() const { return bound_; }
    // Deletes the objects of destroyed records (needs the context current).
    void sweep();
    // Forgets every object without deleting it: the GL context is gone or replaced.
    void forget();
    // The texture object of t in this context, 0 before its first bind.
    GLuint name_of(const GStexture *t) const;

private:
    struct Entry {
        std::weak_ptr<int> alive;
        GLuint id = 0;
        const void *image = nullptr; // the image uploaded, to notice a replacement
        bool bordered = false;
        std::array<std::uint8_t, 3> border{};
    };
    void unbind();
    void upload(Entry &e, const GStexture &t, const std::array<std::uint8_t, 3> &border);

    std::map<const GStexture *, Entry> entries_;
    const GStexture *bound_ = nullptr;
    int bound_type_ = 0, bound_s_ = 0, bound_t_ = 0;
    std::uint64_t destroyed_seen_ = 0;
};
