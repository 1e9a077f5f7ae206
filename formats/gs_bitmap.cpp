#include <kivctrl/gs_bitmap.h>

#include <limits>
#include <new>

GSbitmapInfo::GSbitmapInfo(int w, int h, int d)
    : width(w < 0 ? 0 : w), height(h < 0 ? 0 : h), depth(d < 0 ? 0 : d)
{
    bytes = static_cast<short>((depth - 1) / 8 + 1);
    pixels = static_cast<short>(depth == 0 ? 1 : depth <= 8 ? 8 / depth : 0);
}

GSbitmap::GSbitmap(int width, int height, int depth, const GSpalette *)
    : info_(width, height, depth)
{
    allocate();
}

GSbitmap::GSbitmap(const GSbitmapInfo &info, const GSpalette *)
    : info_(info.width, info.height, info.depth)
{
    allocate();
}

void GSbitmap::allocate()
{
    const std::size_t w = static_cast<std::size_t>(info_.width);
    const std::size_t per_byte = info_.pixels > 0 ? static_cast<std::size_t>(info_.pixels) : 1;
    rowbytes_ = (w + per_byte - 1) / per_byte * static_cast<std::size_t>(info_.bytes);
    const std::size_t h = static_cast<std::size_t>(info_.height);
    if (h != 0 && rowbytes_ > std::numeric_limits<std::size_t>::max() / h)
        return;
    try {
        data_.assign(rowbytes_ * h, 0);
    } catch (const std::bad_alloc &) {
        data_.clear();
    }
}

unsigned char GSbitmap::getbyte(int i) const
{
    return i >= 0 && static_cast<std::size_t>(i) < data_.size() ? data_[static_cast<std::size_t>(i)]
                                                                 : 0;
}

void GSbitmap::setbyte(int i, unsigned char value)
{
    if (i >= 0 && static_cast<std::size_t>(i) < data_.size())
        data_[static_cast<std::size_t>(i)] = value;
}

unsigned char *GSbitmap::row(int y)
{
    if (y < 0 || y >= info_.height || data_.empty())
        return nullptr;
    return data_.data() + static_cast<std::size_t>(y) * rowbytes_;
}

const unsigned char *GSbitmap::row(int y) const
{
    return const_cast<GSbitmap *>(this)->row(y);
}

void GSbitmap::setpalette(const GSpalette *) {}
