#include "platform/gl_surface.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

using kiv::platform::GlSurface;

TEST(GlSurface, ClearFillsTopDownBgraBufferAndPresentFinishes)
{
    auto surface = GlSurface::create(8, 4);
    ASSERT_TRUE(surface);
    ASSERT_TRUE(surface->make_current());
    int presented = 0;
    surface->set_presenter([&](const GlSurface &s) {
        ++presented;
        EXPECT_EQ(s.pixel(0, 0), 0xFF0000FFu);
    });
    glClearColor(0, 0, 1, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    // The lower half gets red through a scissor: rows are stored top-down.
    glEnable(GL_SCISSOR_TEST);
    glScissor(0, 0, 8, 2);
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glDisable(GL_SCISSOR_TEST);
    kiv::platform::gl_swap_buffers();
    EXPECT_EQ(presented, 1);
    EXPECT_EQ(surface->pixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(surface->pixel(7, 3), 0xFFFF0000u);
    EXPECT_EQ(surface->pixel(8, 0), 0u) << "outside the surface";
}

TEST(GlSurface, HasDepthStencilAccumulationAndKeepsSharedLists)
{
    auto first = GlSurface::create(4, 4);
    ASSERT_TRUE(first && first->make_current());
    GLint depth = 0, stencil = 0, accum = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depth);
    glGetIntegerv(GL_STENCIL_BITS, &stencil);
    glGetIntegerv(GL_ACCUM_RED_BITS, &accum);
    EXPECT_EQ(depth, 24);
    EXPECT_EQ(stencil, 8);
    EXPECT_EQ(accum, 16);
    GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glEndList();

    auto second = GlSurface::create(4, 4, first.get());
    ASSERT_TRUE(second && second->make_current());
    EXPECT_EQ(GlSurface::current(), second.get());
    EXPECT_TRUE(glIsList(list));

    ASSERT_TRUE(second->resize(16, 2));
    glClearColor(0, 1, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    second->present();
    EXPECT_EQ(second->pixel(15, 1), 0xFF00FF00u);
    second.reset();
    EXPECT_EQ(GlSurface::current(), nullptr);
}
