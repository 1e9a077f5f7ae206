// Decoded texture images: one per path while in use, scaled for upload once per size.
#include "graphics/texture_record.h"

#include <kivctrl/gs_image.h>

#include <GL/glu.h>

#include <algorithm>
#include <map>

namespace {

// The largest power of two not above n (n >= 1).
int floor_pow2(int n)
{
    int p = 1;
    while (p <= n / 2)
        p *= 2;
    return p;
}

bool is_pow2(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

// Sides that are not powers of two go down to one, at most 1024; any side stays within the
// GL limit.
int upload_side(int side, int maxside)
{
    int s = is_pow2(side) ? side : std::min(floor_pow2(side), 1024);
    return std::min(s, floor_pow2(std::max(maxside, 1)));
}

struct Cache {
    std::mutex mutex;
    std::map<std::string, std::weak_ptr<GStextureimage>> images;
};

Cache &cache()
{
    static Cache c;
    return c;
}

} // namespace

bool GStextureimage::resize() const
{
    return !is_pow2(pixels.width()) || !is_pow2(pixels.height());
}

std::pair<int, int> GStexture_uploadsize(int w, int h, int maxside)
{
    return {upload_side(w, maxside), upload_side(h, maxside)};
}

std::shared_ptr<const GSbitmap> GStextureimage::upload_pixels(int maxside)
{
    const auto size = GStexture_uploadsize(pixels.width(), pixels.height(), maxside);
    std::lock_guard lock(mutex_);
    if (size.first == pixels.width() && size.second == pixels.height())
        return std::shared_ptr<const GSbitmap>(std::shared_ptr<void>(), &pixels);
    auto &slot = scaled_[size];
    if (!slot) {
        auto b = std::make_shared<GSbitmap>(size.first, size.second, 32);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
        // A failed scale leaves zeros: a black texture rather than none.
        gluScaleImage(GL_RGBA, pixels.width(), pixels.height(), GL_UNSIGNED_BYTE, pixels.bitmap(),
                      size.first, size.second, GL_UNSIGNED_BYTE, b->bitmap());
        glPixelStorei(GL_PACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        slot = std::move(b);
    }
    return slot;
}

std::shared_ptr<GStextureimage> GStextureimage_load(const char *path)
{
    if (!path || !*path)
        return nullptr;
    Cache &c = cache();
    std::lock_guard lock(c.mutex);
    auto &slot = c.images[path];
    if (auto image = slot.lock())
        return image;
    std::unique_ptr<GSbitmap> b(image_promote_to_32(image_reader_invoke(path)));
    if (!b || b->width() <= 0 || b->height() <= 0 || !b->bitmap()) {
        c.images.erase(path);
        return nullptr;
    }
    auto image = std::make_shared<GStextureimage>(*b);
    image->path = path;
    slot = image;
    // Forget paths whose images are no longer held.
    std::erase_if(c.images, [](const auto &e) { return e.second.expired(); });
    return image;
}
