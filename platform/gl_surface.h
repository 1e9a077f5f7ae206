// An OpenGL context that draws into a memory buffer (the display surface).
//
// Every surface is a Mesa off-screen context with depth 24, stencil 8 and a 16-bit
// accumulation buffer over a BGRA pixel buffer whose rows run top-down. Drawing happens
// directly in that buffer; presenting finishes the GL work and hands the buffer to an
// optional presenter (a window copy), so the drawn image always stays in the buffer.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace kiv::platform {

class GlSurface {
public:
    // Called by present() with the finished image; used to copy it to a window.
    using Presenter = std::function<void(const GlSurface &)>;

    // A surface of width x height pixels (at least 1 x 1), sharing display lists and
    // textures with share when given. Null when the GL implementation refuses.
    static std::unique_ptr<GlSurface> create(int width, int height, const GlSurface *share = nullptr);
    ~GlSurface();
    GlSurface(const GlSurface &) = delete;
    GlSurface &operator=(const GlSurface &) = delete;

    // Makes this surface the calling thread's current GL context.
    bool make_current();
    // Reallocates the buffer (contents are lost); rebinds it when this surface is current.
    bool resize(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    // Pixel (x, y), y from the top, as 0xAARRGGBB.
    std::uint32_t pixel(int x, int y) const;
    const std::vector<std::uint32_t> &pixels() const { return buffer_; }

    void set_presenter(Presenter presenter) { presenter_ = std::move(presenter); }
    // Finishes all GL work and hands the image to the presenter.
    void present();
    // Number of present() calls so far.
    long presented() const { return presented_; }

    // The surface current on the calling thread, or null.
    static GlSurface *current();

private:
    GlSurface() = default;
    bool bind();

    struct Context;
    std::unique_ptr<Context> context_;
    std::vector<std::uint32_t> buffer_;
    int width_ = 0;
    int height_ = 0;
    long presented_ = 0;
    Presenter presenter_;
};

// The buffer swap of the current context: glFinish, then present the current surface.
void gl_swap_buffers();

} // namespace kiv::platform
