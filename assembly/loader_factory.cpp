// Defaults shared by loader and saver factories and their loaders.
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_string.h>

void LoaderTextList::add(const char *text)
{
    if (text)
        items_.emplace_back(std::in_place, text);
    else
        items_.emplace_back();
}

const char *LoaderTextList::get(int i) const
{
    if (i < 1 || i > count())
        return nullptr;
    const auto &item = items_[static_cast<std::size_t>(i - 1)];
    return item ? item->c_str() : nullptr;
}

const char *LoaderFactory::version() { return __DATE__; }

const char *SaverFactory::version() { return __DATE__; }

char *Loader::basename(const char *file, const char *, int size, char *out)
{
    char simple[QEL_PATH_MAX];
    pathname_get_simple(file, simple);
    if (out && qel_strlen(simple) < size)
        qel_strcpy(out, simple);
    return out;
}
