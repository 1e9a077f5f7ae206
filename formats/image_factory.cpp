#include <kivctrl/gs_image.h>

void GSimageSuffixes::add(const char *suffix)
{
    items_.push_back({suffix != nullptr, suffix ? suffix : ""});
}

const char *GSimageSuffixes::get(int i) const
{
    if (i < 1 || i > count())
        return nullptr;
    const Item &item = items_[static_cast<std::size_t>(i - 1)];
    return item.present ? item.text.c_str() : nullptr;
}

template <class Product>
const char *GSimageFactory<Product>::version()
{
    return __DATE__;
}

template class GSimageFactory<GSimageReader>;
template class GSimageFactory<GSimageWriter>;
