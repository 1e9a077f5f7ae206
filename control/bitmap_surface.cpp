// The off-screen display surface: the universe drawn into pixel memory through its own GL
// context and render context.
#include <kivctrl/gs_display.h>

#include "graphics/universe.h"
#include "platform/gl_surface.h"

#include <cstring>

struct GSbitmapDisplaySurface::Impl {
    std::unique_ptr<kiv::platform::GlSurface> gl;
    void *render = nullptr; // the secondary render context
    std::unique_ptr<GSbitmap> copy;

    ~Impl()
    {
        if (render)
            ADT_DeleteSecondaryContext(render);
    }
};

namespace {

bool drawable(int width, int height, int bits)
{
    return width >= 1 && height >= 1 && width <= GSbitmapDisplaySurface::kMaxSide &&
           height <= GSbitmapDisplaySurface::kMaxSide && (bits == 24 || bits == 32);
}

// Makes the surface's GL and render contexts current for its lifetime; afterwards the
// previous ones are current again and the universe has its previous size (the window's).
// With no GL context before, the surface's stays current: there is nothing else to draw into.
class ContextScope {
public:
    ContextScope(kiv::platform::GlSurface &gl, void *render)
        : gl_(gl), previous_gl_(kiv::platform::GlSurface::current()), previous_render_(&GScurrentcontext()),
          previous_width_(GSuniverse_record().width), previous_height_(GSuniverse_record().height)
    {
        ok_ = gl_.make_current();
        ADT_UseSecondaryContext(render);
    }
    ~ContextScope()
    {
        ADT_UseSecondaryContext(previous_render_);
        if (!previous_gl_ || previous_gl_ == &gl_ || !previous_gl_->make_current())
            return;
        if (previous_width_ > 0 && previous_height_ > 0)
            GSuniverse_resize(previous_width_, previous_height_);
    }
    ContextScope(const ContextScope &) = delete;
    ContextScope &operator=(const ContextScope &) = delete;
    bool ok() const { return ok_; }

private:
    kiv::platform::GlSurface &gl_;
    kiv::platform::GlSurface *previous_gl_;
    GSrendercontext *previous_render_;
    int previous_width_;
    int previous_height_;
    bool ok_ = false;
};

} // namespace

GSbitmapDisplaySurface::GSbitmapDisplaySurface(int, int width, int height, int bits)
    : GSuniverseDisplaySurface(width, height, bits), impl_(std::make_unique<Impl>())
{
    if (!drawable(width, height, bits)) {
        error_ = 1;
        return;
    }
    impl_->gl = kiv::platform::GlSurface::create(width, height);
    if (!impl_->gl) {
        error_ = 1;
        return;
    }
    impl_->render = ADT_CreateSecondaryContext();
    ContextScope scope(*impl_->gl, impl_->render);
    if (!scope.ok()) {
        error_ = 1;
        return;
    }
    GSuniverse_init(width, height);
}

GSbitmapDisplaySurface::~GSbitmapDisplaySurface() = default;

GSbitmap *GSbitmapDisplaySurface::bitmap()
{
    if (error_)
        return nullptr;
    if (!impl_->copy) {
        const int w = width(), h = height(), bytes = depth() / 8;
        auto copy = std::make_unique<GSbitmap>(w, h, depth());
        if (copy->size() == 0)
            return nullptr;
        // The GL buffer runs top-down as 0xAARRGGBB; bitmaps start at the bottom row.
        for (int y = 0; y < h; ++y) {
            unsigned char *row = copy->row(h - 1 - y);
            for (int x = 0; x < w; ++x) {
                const std::uint32_t p = impl_->gl->pixel(x, y);
                const unsigned char rgba[4] = {static_cast<unsigned char>(p >> 16),
                                               static_cast<unsigned char>(p >> 8),
                                               static_cast<unsigned char>(p), 255};
                std::memcpy(row + bytes * x, rgba, bytes);
            }
        }
        impl_->copy = std::move(copy);
    }
    return impl_->copy.get();
}

void GSbitmapDisplaySurface::release_bitmap()
{
    impl_->copy.reset();
}

int GSbitmapDisplaySurface::resize(int width, int height, int bits)
{
    if (!impl_->gl || !drawable(width, height, bits))
        return 0;
    release_bitmap();
    {
        ContextScope scope(*impl_->gl, impl_->render);
        if (!impl_->gl->resize(width, height) || !scope.ok()) {
            error_ = 1;
            return 0;
        }
        set_info(width, height, bits);
        error_ = 0;
    }
    draw();
    return 1;
}

void GSbitmapDisplaySurface::draw()
{
    draw_hook();
    render();
    notify_listeners();
    release_bitmap();
    release_palette();
}

void GSbitmapDisplaySurface::render()
{
    if (error_)
        return;
    // A copy made before this frame would show the old picture.
    release_bitmap();
    ContextScope scope(*impl_->gl, impl_->render);
    if (!scope.ok())
        return;
    GSuniverse_resize(width(), height());
    GSuniverse_repaint();
}

unsigned GSbitmapDisplaySurface::pixel(int x, int y) const
{
    return impl_->gl ? impl_->gl->pixel(x, y) : 0;
}
