// Binding texture records to OpenGL: texture objects, wrapping, filtering, coordinate
// generation and the texture matrix.
#include "graphics/texture_bind.h"

#include "graphics/texture_record.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::uint8_t byte_of(float v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
}

void generate(GLenum coord, GLenum enable, int method, const float plane[4])
{
    switch (method) {
    case GS_TEX_PLANE:
        glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_OBJECT_LINEAR);
        glTexGenfv(coord, GL_OBJECT_PLANE, plane);
        break;
    case GS_TEX_EYE:
        glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_EYE_LINEAR);
        glTexGenfv(coord, GL_EYE_PLANE, plane);
        break;
    case GS_TEX_SPHEREMAP:
        glTexGeni(coord, GL_TEXTURE_GEN_MODE, GL_SPHERE_MAP);
        break;
    default:
        return; // computed per corner, or nothing
    }
    glEnable(enable);
}

bool generated(int method)
{
    return method == GS_TEX_PLANE || method == GS_TEX_EYE || method == GS_TEX_SPHEREMAP;
}

} // namespace

void GStextureobjects::unbind()
{
    if (!bound_)
        return;
    if (bound_type_ == 2 || generated(bound_s_))
        glDisable(GL_TEXTURE_GEN_S);
    if (bound_type_ == 2 || generated(bound_t_))
        glDisable(GL_TEXTURE_GEN_T);
    glDisable(GL_TEXTURE_2D);
    bound_ = nullptr;
}

void GStextureobjects::upload(Entry &e, const GStexture &t, const std::array<std::uint8_t, 3> &border)
{
    GLint maxside = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxside);
    std::shared_ptr<const GSbitmap> pixels = t.image->upload_pixels(maxside);
    const int w = pixels->width(), h = pixels->height();
    const unsigned char *data = pixels->bitmap();
    std::vector<unsigned char> framed;
    if (t.type == 1) {
        // The outermost pixels become the border colour, so clamping shows it outside.
        framed.assign(data, data + pixels->size());
        auto paint = [&](int x, int y) {
            unsigned char *p = framed.data() + 4 * (static_cast<size_t>(y) * w + x);
            p[0] = border[0], p[1] = border[1], p[2] = border[2], p[3] = 255;
        };
        for (int x = 0; x < w; ++x)
            paint(x, 0), paint(x, h - 1);
        for (int y = 0; y < h; ++y)
            paint(0, y), paint(w - 1, y);
        data = framed.data();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, data);
    e.image = t.image.get();
    e.bordered = t.type == 1;
    e.border = border;
}

void GStextureobjects::bind(const GStexture *t, const float envcolor[4])
{
    unbind();
    if (!t || !t->image)
        return;
    sweep();
    Entry &e = entries_[t];
    if (e.alive.expired()) {
        // A new record, possibly at the address of a destroyed one.
        if (e.id)
            glDeleteTextures(1, &e.id);
        e = Entry{};
        e.alive = t->alive;
        glGenTextures(1, &e.id);
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, e.id);
    const std::array<std::uint8_t, 3> border{byte_of(envcolor[0]), byte_of(envcolor[1]), byte_of(envcolor[2])};
    if (e.image != t->image.get() || e.bordered != (t->type == 1) || (t->type == 1 && e.border != border))
        upload(e, *t, border);

    const GLint wrap = t->type == 1 ? GL_CLAMP : GL_REPEAT;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, wrap);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, wrap);
    const GLint filter = t->quality == 0 ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    const float bordercolor[4] = {envcolor[0], envcolor[1], envcolor[2], 1.0f};
    glTexParameterfv(GL_TEXTURE_2D, GL_TEXTURE_BORDER_COLOR, bordercolor);
    if (t->type == 2) {
        generate(GL_S, GL_TEXTURE_GEN_S, GS_TEX_SPHEREMAP, nullptr);
        generate(GL_T, GL_TEXTURE_GEN_T, GS_TEX_SPHEREMAP, nullptr);
    } else {
        generate(GL_S, GL_TEXTURE_GEN_S, t->smethod, t->splane);
        generate(GL_T, GL_TEXTURE_GEN_T, t->tmethod, t->tplane);
    }

    glMatrixMode(GL_TEXTURE);
    glLoadIdentity();
    if (t->type != 2) {
        glTranslatef(0.5f, 0.5f, 0.5f);
        glScalef(t->scale[0], t->scale[1], t->scale[2]);
        float m[16];
        t->orientation.OGLConvert(m);
        glMultMatrixf(m);
        glTranslatef(-t->position[0], -t->position[1], -t->position[2]);
    }
    glMatrixMode(GL_MODELVIEW);
    bound_ = t;
    bound_type_ = t->type;
    bound_s_ = t->smethod;
    bound_t_ = t->tmethod;
}

void GStextureobjects::sweep()
{
    const std::uint64_t destroyed = GStexture_destroyed.load();
    if (destroyed == destroyed_seen_)
        return;
    destroyed_seen_ = destroyed;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.alive.expired()) {
            glDeleteTextures(1, &it->second.id);
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
}

void GStextureobjects::forget()
{
    entries_.clear();
    bound_ = nullptr;
}

GLuint GStextureobjects::name_of(const GStexture *t) const
{
    auto it = entries_.find(t);
    return it == entries_.end() || it->second.alive.expired() ? 0 : it->second.id;
}
