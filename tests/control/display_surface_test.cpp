// The off-screen display surface: real OSMesa rendering checked by pixels, its picture copy,
// resizing, the listener links and the contexts it puts back.
#include "control/surface_fixture.h"

#include "graphics/universe.h"
#include "platform/gl_surface.h"

#include <memory>
#include <vector>

namespace {

using kivtest::kBlue;
using kivtest::kRed;
using kivtest::Rgb;
using kivtest::rgb;

// Pixel (x, y), y from the top, of a bitmap stored bottom row first.
Rgb bitmap_rgb(const GSbitmap &b, int x, int y)
{
    const unsigned char *p = b.row(b.height() - 1 - y) + x * b.bytes_per_pixel();
    return {p[0], p[1], p[2]};
}

// Records what each notification showed.
class Recorder : public GSdisplayListener {
public:
    struct Seen {
        int width, height;
        Rgb centre;
    };
    void notify(GSdisplaySurface *surface) override
    {
        GSbitmap *b = surface->bitmap();
        if (!b) {
            seen.push_back({0, 0, {}});
            return;
        }
        seen.push_back({b->width(), b->height(), bitmap_rgb(*b, b->width() / 2, b->height() / 2)});
        if (leave_when_notified)
            surface->remove_listener(this);
    }
    void surface_gone(GSdisplaySurface *) override { ++gone; }

    std::vector<Seen> seen;
    bool leave_when_notified = false;
    int gone = 0;
};

using DisplaySurface = kivtest::SurfaceScene;

TEST_F(DisplaySurface, DrawsTheUniverseAndCopiesItBottomRowFirst)
{
    for (int bits : {24, 32}) {
        GSbitmapDisplaySurface surface(0, kWidth, kHeight, bits);
        ASSERT_EQ(surface.error(), 0);
        EXPECT_EQ(surface.isbitmap(), 1);
        surface.render();
        EXPECT_EQ(rgb(surface.pixel(kSquareX, kSquareY)), kRed);
        EXPECT_EQ(rgb(surface.pixel(kSquareX, kHeight - 4)), kBlue) << "the square sits above the centre";
        EXPECT_EQ(rgb(surface.pixel(0, 0)), kBlue);

        GSbitmap *b = surface.bitmap();
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->width(), kWidth);
        EXPECT_EQ(b->height(), kHeight);
        EXPECT_EQ(b->depth(), bits);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                ASSERT_EQ(bitmap_rgb(*b, x, y), rgb(surface.pixel(x, y))) << x << "," << y;
        if (bits == 32) {
            EXPECT_EQ(b->row(0)[3], 255);
        }
        EXPECT_EQ(surface.bitmap(), b) << "the copy is kept until released";
    }
}

TEST_F(DisplaySurface, ANewFrameReplacesAKeptCopy)
{
    GSbitmapDisplaySurface surface(0, kWidth, kHeight, 24);
    surface.render();
    ASSERT_EQ(bitmap_rgb(*surface.bitmap(), kSquareX, kSquareY), kRed);
    GSobject_setcolor(square_, 0, 1, 0, 100);
    surface.render();
    EXPECT_EQ(bitmap_rgb(*surface.bitmap(), kSquareX, kSquareY), (Rgb{0, 255, 0}));
}

TEST_F(DisplaySurface, UndrawableSizesAndDepthsAreErrors)
{
    const struct {
        int width, height, bits;
    } cases[] = {{0, 10, 24}, {10, -1, 24}, {GSbitmapDisplaySurface::kMaxSide + 1, 1, 24},
                 {10, 10, 8}, {10, 10, 16}, {10, 10, 1}};
    for (const auto &c : cases) {
        GSbitmapDisplaySurface surface(0, c.width, c.height, c.bits);
        EXPECT_NE(surface.error(), 0) << c.width << "x" << c.height << "x" << c.bits;
        Recorder recorder;
        surface.add_listener(&recorder);
        surface.draw();
        EXPECT_EQ(surface.bitmap(), nullptr);
        ASSERT_EQ(recorder.seen.size(), 1u);
        EXPECT_EQ(recorder.seen[0].width, 0) << "told, but finds no picture";
        EXPECT_EQ(surface.resize(8, 8, 24), 0);
    }
}

TEST_F(DisplaySurface, ResizeShowsListenersARealFrameOfTheNewSize)
{
    GSbitmapDisplaySurface surface(0, kWidth, kHeight, 24);
    Recorder recorder;
    surface.add_listener(&recorder);
    ASSERT_EQ(surface.resize(GSbitmapInfo(32, 64, 24)), 1);
    ASSERT_EQ(recorder.seen.size(), 1u);
    EXPECT_EQ(recorder.seen[0].width, 32);
    EXPECT_EQ(recorder.seen[0].height, 64);
    // A tall picture: the red square (y 0.5 to 2.5) covers the point above the middle.
    EXPECT_EQ(rgb(surface.pixel(16, 20)), kRed);
    EXPECT_EQ(surface.bitmap()->height(), 64) << "the copy made after the frame has the new size";

    EXPECT_EQ(surface.resize(0, 64, 24), 0);
    EXPECT_EQ(surface.resize(32, 64, 16), 0);
    EXPECT_EQ(surface.width(), 32);
    EXPECT_EQ(surface.depth(), 24);
    EXPECT_EQ(surface.error(), 0);
    EXPECT_EQ(recorder.seen.size(), 1u) << "a refused resize tells nobody";
}

TEST_F(DisplaySurface, ListenersAreToldOnceEachAndMayLeaveWhileTold)
{
    GSbitmapDisplaySurface surface(0, kWidth, kHeight, 24);
    Recorder leaver, stayer;
    leaver.leave_when_notified = true;
    surface.add_listener(&leaver);
    surface.add_listener(&leaver);
    surface.add_listener(&stayer);
    EXPECT_EQ(surface.listener_count(), 2);
    surface.draw();
    surface.draw();
    EXPECT_EQ(leaver.seen.size(), 1u);
    ASSERT_EQ(stayer.seen.size(), 2u);
    EXPECT_EQ(stayer.seen[0].centre, kBlue);
    EXPECT_EQ(surface.listener_count(), 1);
}

TEST_F(DisplaySurface, SurfaceAndListenerMayGoInEitherOrder)
{
    auto listener = std::make_unique<Recorder>();
    {
        GSbitmapDisplaySurface surface(0, 8, 8, 24);
        surface.add_listener(listener.get());
    }
    EXPECT_EQ(listener->gone, 1);
    listener.reset();  // must not touch the dead surface

    GSbitmapDisplaySurface surface(0, 8, 8, 24);
    {
        Recorder short_lived;
        surface.add_listener(&short_lived);
    }
    EXPECT_EQ(surface.listener_count(), 0);
    surface.draw();
}

TEST_F(DisplaySurface, RenderingPutsBackTheContextsAndTheWindowSize)
{
    auto window = kiv::platform::GlSurface::create(80, 40);
    ASSERT_TRUE(window && window->make_current());
    GSuniverse_init(80, 40);
    GSrendercontext *window_context = &GScurrentcontext();
    GSuniverse_repaint();
    ASSERT_EQ(rgb(window->pixel(40, 12)), kRed);
    ASSERT_EQ(rgb(window->pixel(0, 0)), kBlue);
    {
        GSbitmapDisplaySurface surface(0, kWidth, kHeight, 24);
        EXPECT_EQ(kiv::platform::GlSurface::current(), window.get());
        surface.draw();
        EXPECT_EQ(rgb(surface.pixel(kSquareX, kSquareY)), kRed);
        EXPECT_EQ(kiv::platform::GlSurface::current(), window.get());
        EXPECT_EQ(&GScurrentcontext(), window_context);
        EXPECT_EQ(GSuniverse_record().width, 80);
        EXPECT_EQ(GSuniverse_record().height, 40);
    }
    EXPECT_EQ(&GScurrentcontext(), window_context);
    // The window still draws its own frame at its own size.
    GSuniverse_repaint();
    EXPECT_EQ(rgb(window->pixel(0, 0)), kBlue);
    EXPECT_EQ(rgb(window->pixel(40, 12)), kRed);
}

} // namespace
