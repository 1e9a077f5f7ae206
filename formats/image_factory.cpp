#include <kivctrl/gs_image.h>

template <class Product>
const char *GSimageFactory<Product>::version()
{
    return __DATE__;
}

template class GSimageFactory<GSimageReader>;
template class GSimageFactory<GSimageWriter>;
