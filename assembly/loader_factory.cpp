// Defaults shared by loader and saver factories and their loaders.
#include <kivctrl/loader.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/qel_string.h>

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
