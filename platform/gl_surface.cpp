#include "platform/gl_surface.h"

#include <GL/osmesa.h>

#include <algorithm>

namespace kiv::platform {

namespace {
thread_local GlSurface *t_current = nullptr;
}

struct GlSurface::Context {
    OSMesaContext handle = nullptr;
    ~Context()
    {
        if (handle)
            OSMesaDestroyContext(handle);
    }
};

std::unique_ptr<GlSurface> GlSurface::create(int width, int height, const GlSurface *share)
{
    std::unique_ptr<GlSurface> surface(new GlSurface);
    surface->context_ = std::make_unique<Context>();
    // BGRA is the only byte order Mesa's off-screen renderer handles with an alpha channel.
    surface->context_->handle = OSMesaCreateContextExt(OSMESA_BGRA, 24, 8, 16,
                                                       share ? share->context_->handle : nullptr);
    if (!surface->context_->handle)
        return nullptr;
    surface->width_ = std::max(width, 1);
    surface->height_ = std::max(height, 1);
    surface->buffer_.assign(static_cast<size_t>(surface->width_) * surface->height_, 0);
    return surface;
}

GlSurface::~GlSurface()
{
    if (t_current == this) {
        OSMesaMakeCurrent(nullptr, nullptr, GL_UNSIGNED_BYTE, 0, 0);
        t_current = nullptr;
    }
}

bool GlSurface::bind()
{
    if (!OSMesaMakeCurrent(context_->handle, buffer_.data(), GL_UNSIGNED_BYTE, width_, height_))
        return false;
    // Rows top-down, as windows and image files store them.
    OSMesaPixelStore(OSMESA_Y_UP, 0);
    t_current = this;
    return true;
}

bool GlSurface::make_current()
{
    return bind();
}

bool GlSurface::resize(int width, int height)
{
    width_ = std::max(width, 1);
    height_ = std::max(height, 1);
    buffer_.assign(static_cast<size_t>(width_) * height_, 0);
    return t_current == this ? bind() : true;
}

std::uint32_t GlSurface::pixel(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        return 0;
    return buffer_[static_cast<size_t>(y) * width_ + x];
}

void GlSurface::present()
{
    glFinish();
    ++presented_;
    if (presenter_)
        presenter_(*this);
}

GlSurface *GlSurface::current()
{
    return t_current;
}

void gl_swap_buffers()
{
    if (GlSurface *surface = GlSurface::current())
        surface->present();
    else
        glFinish();
}

} // namespace kiv::platform
