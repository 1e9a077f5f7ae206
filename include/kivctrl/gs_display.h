// Display surfaces: pictures the universe is drawn into, and the listeners that hear about
// each new picture (image and movie writers attach here through GSimageSaver).
//
// GSdisplaySurface is the abstract surface with its listeners and size; a
// GSuniverseDisplaySurface renders the universe; GSbitmapDisplaySurface is the off-screen one,
// an OpenGL context on its own pixel memory with its own render context, usable without any
// window (headless rendering). Surface and listener know each other: destroying either one
// takes it off the other's books, in whichever order they go.
#pragma once

#include <kivctrl/gs_bitmap.h>

#include <memory>
#include <vector>

class GSdisplaySurface;

class GSdisplayListener {
public:
    GSdisplayListener() = default;
    GSdisplayListener(const GSdisplayListener &) = delete;
    GSdisplayListener &operator=(const GSdisplayListener &) = delete;
    // Leaves every surface it still listens to.
    virtual ~GSdisplayListener();

    // The surface has a new picture (or a new size).
    virtual void notify(GSdisplaySurface *surface) = 0;
    // The surface is being destroyed; it has already dropped this listener.
    virtual void surface_gone(GSdisplaySurface *) {}

private:
    friend class GSdisplaySurface;
    std::vector<GSdisplaySurface *> surfaces_;
};

class GSdisplaySurface {
public:
    // A surface of the given size; bits per pixel 0 counts as 1 pixel per byte.
    GSdisplaySurface(int width, int height, int bits);
    GSdisplaySurface(const GSdisplaySurface &) = delete;
    GSdisplaySurface &operator=(const GSdisplaySurface &) = delete;
    // Tells every listener that the surface is gone.
    virtual ~GSdisplaySurface();

    virtual int width() { return info_.width; }
    virtual int height() { return info_.height; }
    virtual int depth() { return info_.depth; }
    virtual GSbitmapInfo size() { return info_; }
    // 1 for surfaces that keep their pixels in memory.
    virtual int isbitmap() { return 0; }
    // The current picture, owned by the surface and valid until release_bitmap() or the next
    // render; null when the surface has none.
    virtual GSbitmap *bitmap() { return nullptr; }
    virtual void release_bitmap() {}
    // The window the surface shows in; null for memory surfaces.
    virtual void *window() { return nullptr; }
    // This platform draws in true colour only: surfaces have no palette.
    virtual GSpalette *palette() { return nullptr; }
    virtual void release_palette() {}
    int resize(const GSbitmapInfo &info) { return resize(info.width, info.height, info.depth); }
    // Nonzero when the surface now has the new size.
    virtual int resize(int width, int height, int bits);
    virtual void draw_hook() {}
    virtual void repaint_hook() {}

    // Nonzero when the surface could not be made (or resized) and cannot be drawn into.
    int error() const { return error_; }

    // A listener is notified once per notify_listeners(), however often it was added.
    void add_listener(GSdisplayListener *listener);
    void remove_listener(GSdisplayListener *listener);
    int listener_count() const { return static_cast<int>(listeners_.size()); }
    // Calls notify on every listener, in the order they were added. A listener may remove
    // itself (or another) while being notified.
    void notify_listeners();

protected:
    void set_info(int width, int height, int bits) { info_ = GSbitmapInfo(width, height, bits); }

    GSbitmapInfo info_;
    int error_ = 0;

private:
    std::vector<GSdisplayListener *> listeners_;
};

class GSuniverseDisplaySurface : public GSdisplaySurface {
public:
    using GSdisplaySurface::GSdisplaySurface;

    virtual void refresh() { draw(); }
    virtual void repaint()
    {
        repaint_hook();
        render();
    }
    // 1 when a frame was drawn.
    virtual int redraw() { return 1; }
    virtual void draw()
    {
        draw_hook();
        render();
    }
    // Draws the universe into the surface.
    virtual void render() = 0;
};

// An off-screen surface: its own OpenGL context over pixel memory and its own render context,
// in which the universe is initialised when the surface is made. Rendering makes both current,
// draws the universe at the surface's size and puts back the contexts and the universe size
// that were in force before. Only 24 and 32 bits per pixel are drawable; other depths, sizes
// outside 1..16384 or a refused OpenGL context set error().
class GSbitmapDisplaySurface : public GSuniverseDisplaySurface {
public:
    static constexpr int kMaxSide = 16384;

    // reserved is kept for callers that pass the window's device; it is not used.
    GSbitmapDisplaySurface(int reserved, int width, int height, int bits);
    ~GSbitmapDisplaySurface() override;

    using GSuniverseDisplaySurface::resize;
    int isbitmap() override { return 1; }
    // A copy of the last rendered picture, bottom row first: depth 24 (red, green, blue) or
    // 32 (alpha 255) as the surface's depth; made once and kept until released or re-rendered.
    GSbitmap *bitmap() override;
    void release_bitmap() override;
    // Resizes the pixels and the universe in the surface's context, then draws a frame so that
    // listeners are told of a real picture of the new size. The old size stays on failure.
    int resize(int width, int height, int bits) override;
    void repaint() override { draw(); }
    // Renders, notifies every listener, then drops the picture copy.
    void draw() override;
    void render() override;

    // Pixel (x, y), y from the top, as 0xAARRGGBB; 0 outside or before any render.
    unsigned pixel(int x, int y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
