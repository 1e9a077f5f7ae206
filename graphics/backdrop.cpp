#include "graphics/universe.h"

#include <kivctrl/gs_bitmap.h>
#include <kivctrl/gs_image.h>

#include <GL/gl.h>

#include <algorithm>
#include <memory>

bool GSuniverse_setbackdropimage(int width, int height, const unsigned char *rgba)
{
    GSbackdropimage &b = GSuniverse_record().backdrop;
    b = GSbackdropimage{};
    if (rgba && width > 0 && height > 0) {
        b.width = width;
        b.height = height;
        b.rgba.assign(rgba, rgba + static_cast<size_t>(width) * height * 4);
    }
    GSuniverse_changed(1);
    return b.width > 0;
}

bool GSuniverse_setbackdrop(const char *path)
{
    GSuniverse_setbackdropimage(0, 0, nullptr);
    if (!path || !*path)
        return false;
    std::unique_ptr<GSbitmap> image(image_promote_to_32(image_reader_invoke(path)));
    if (!image || image->depth() != 32 || !image->bitmap())
        return false;
    return GSuniverse_setbackdropimage(image->width(), image->height(), image->bitmap());
}

void GSuniverse_setbackdropactive(bool on)
{
    GSuniverse_record().backdropactive = on;
    GSuniverse_changed(1);
}

void GSuniverse_setbackdrophorizjustify(int justify)
{
    GSuniverse_record().backdrophorizjustify = justify;
    GSuniverse_changed(1);
}

void GSuniverse_setbackdropvertjustify(int justify)
{
    GSuniverse_record().backdropvertjustify = justify;
    GSuniverse_changed(1);
}

void GSuniverse_setbackdroptile(bool on)
{
    GSuniverse_record().backdroptile = on;
    GSuniverse_changed(1);
}

namespace {
// Leading columns or rows to skip so that the kept span sits as justified.
int skipped(int total, int kept, int justify)
{
    if (justify < 0)
        return 0;
    return justify > 0 ? total - kept : (total - kept) / 2;
}
} // namespace

void GSbackdrop_draw(const GSuniverserecord &u)
{
    const GSbackdropimage &b = u.backdrop;
    if (u.width <= 0 || u.height <= 0 || b.width <= 0 || b.height <= 0)
        return;
    const float sx = float(b.width) / u.width, sy = float(b.height) / u.height;
    if (u.backdroptile) {
        glPixelZoom(1, 1);
        for (float x = -1; x < 1; x += 2 * sx) {
            for (float y = -1; y < 1; y += 2 * sy) {
                glRasterPos2f(x, y);
                glDrawPixels(b.width, b.height, GL_RGBA, GL_UNSIGNED_BYTE, b.rgba.data());
            }
        }
        return;
    }
    // Scale the image to cover the viewport, cropping the axis that sticks out.
    const float s = std::min(sx, sy);
    glPixelZoom(1 / s + 0.001f, 1 / s + 0.001f);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, b.width);
    int cols = b.width, rows = b.height;
    if (sx > sy) {
        cols = std::min(b.width, int(s * u.width + 1));
        glPixelStorei(GL_UNPACK_SKIP_PIXELS, skipped(b.width, cols, u.backdrophorizjustify));
    } else {
        rows = std::min(b.height, int(s * u.height + 1));
        glPixelStorei(GL_UNPACK_SKIP_ROWS, skipped(b.height, rows, u.backdropvertjustify));
    }
    glRasterPos2f(-1, -1);
    glDrawPixels(cols, rows, GL_RGBA, GL_UNSIGNED_BYTE, b.rgba.data());
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    glPixelStorei(GL_UNPACK_SKIP_PIXELS, 0);
    glPixelStorei(GL_UNPACK_SKIP_ROWS, 0);
    glPixelZoom(1, 1);
}
