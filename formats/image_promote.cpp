#include <kivctrl/gs_bitmap.h>

#include <memory>

GSbitmap *image_promote_to_32(GSbitmap *b)
{
    if (b == nullptr || b->depth() >= 32)
        return b;
    std::unique_ptr<GSbitmap> old(b);
    auto out = std::make_unique<GSbitmap>(b->width(), b->height(), 32);
    if (out->size() == 0 || b->size() == 0)
        return out.release();
    const int depth = b->depth();
    for (int y = 0; y < b->height(); ++y) {
        const unsigned char *s = b->row(y);
        unsigned char *d = out->row(y);
        for (int x = 0; x < b->width(); ++x, d += 4) {
            switch (depth) {
            case 1: {
                const unsigned char g = (s[x / 8] >> (7 - x % 8)) & 1 ? 255 : 0;
                d[0] = d[1] = d[2] = g;
                d[3] = 255;
                break;
            }
            case 8:
                d[0] = d[1] = d[2] = s[x];
                d[3] = 255;
                break;
            case 16:
                d[0] = d[1] = d[2] = s[2 * x];
                d[3] = s[2 * x + 1];
                break;
            case 24:
                d[0] = s[3 * x];
                d[1] = s[3 * x + 1];
                d[2] = s[3 * x + 2];
                d[3] = 255;
                break;
            default:
                break;
            }
        }
    }
    return out.release();
}
