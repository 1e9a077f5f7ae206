#include "graphics/render_context.h"
#include "platform/gl_surface.h"

#include <gtest/gtest.h>

namespace {

// Draws one full-viewport quad with the context's pending state and returns the centre pixel.
std::uint32_t draw_quad(GSrendercontext &ctx, kiv::platform::GlSurface &surface)
{
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    ctx.send_pending();
    ctx.begin_primitive(GL_QUADS);
    glVertex2f(-1, -1);
    glVertex2f(1, -1);
    glVertex2f(1, 1);
    glVertex2f(-1, 1);
    ctx.end_primitive();
    surface.present();
    return surface.pixel(2, 2) & 0xFFFFFFu;
}

struct RenderContextTest : ::testing::Test {
    void SetUp() override
    {
        surface = kiv::platform::GlSurface::create(4, 4);
        ASSERT_TRUE(surface && surface->make_current());
        glDisable(GL_LIGHTING);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    }
    std::unique_ptr<kiv::platform::GlSurface> surface;
    GSrendercontext ctx;
};

TEST_F(RenderContextTest, NestedAttributeSetsRestoreEnclosingValues)
{
    const float red[3] = {1, 0, 0}, blue[3] = {0, 0, 1};
    ctx.push_marker();
    ctx.install_color(red, 100);
    ctx.install_opacity(0.5f, GSopacityapplier::assembly, 100);
    ctx.push_marker();
    ctx.install_color(blue, 100);
    ctx.install_opacity(0.5f, GSopacityapplier::object, 100);
    ctx.install_opacity(0.5f, GSopacityapplier::face, 100);
    EXPECT_FLOAT_EQ(ctx.combined_opacity(), 0.125f);
    EXPECT_EQ(draw_quad(ctx, *surface), 0x000020u) << "blue at 1/8 over black";
    ctx.pop_to_marker();
    EXPECT_FLOAT_EQ(ctx.combined_opacity(), 0.5f);
    EXPECT_EQ(ctx.color()[0], 1.0f);
    ctx.pop_to_marker();
    EXPECT_FALSE(ctx.has_color_attribute());
    // Without a colour nothing is sent: polygons bring their own colours.
    EXPECT_EQ(draw_quad(ctx, *surface), 0x000020u);
    EXPECT_FALSE(ctx.hascolor());
}

TEST_F(RenderContextTest, HighlightPicksHighestSlotAndBit15KeepsOwnColour)
{
    const float green[3] = {0, 1, 0};
    struct Case {
        unsigned mask;
        std::uint32_t pixel;
    } cases[] = {
        {(1u << 3) | (1u << 5), 0xFF0000u}, // slot 5 is red and beats slot 3
        {1u << 1, 0xFF8000u},               // orange (0.5 rounds to 0x80)
        {1u << 15, 0x00FF00u},              // bit 15: the object's own colour stays
        {1u << 20, 0xFFFFFFu},              // no slot from 0 to 11: white
        {1u << 0, 0x000000u},               // slot 0 is black
    };
    for (const Case &c : cases) {
        ctx.push_marker();
        ctx.install_color(green, 100);
        ctx.install_highlight(c.mask, 100);
        EXPECT_EQ(draw_quad(ctx, *surface), c.pixel) << std::hex << c.mask;
        ctx.pop_to_marker();
    }
}

TEST_F(RenderContextTest, SteadyNestingReusesSavedNodes)
{
    const float rgba[4] = {1, 1, 1, 1};
    size_t nodes_after_first_frame = 0;
    for (int frame = 0; frame < 100; ++frame) {
        ctx.begin_frame();
        for (int depth = 0; depth < 10; ++depth) {
            ctx.push_marker();
            ctx.install_shininess(float(depth), 100);
            ctx.install_specular(rgba, 100);
            ctx.install_bothsides(depth % 2 == 1, 100);
        }
        for (int depth = 9; depth >= 0; --depth) {
            EXPECT_EQ(ctx.bothsides(), depth % 2 == 1);
            ctx.pop_to_marker();
        }
        EXPECT_FALSE(ctx.bothsides());
        if (frame == 0)
            nodes_after_first_frame = ctx.saved_nodes();
        EXPECT_EQ(ctx.saved_nodes(), nodes_after_first_frame);
    }
    EXPECT_TRUE(glIsEnabled(GL_CULL_FACE));
}

} // namespace
