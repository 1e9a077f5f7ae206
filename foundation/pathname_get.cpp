#include <kivctrl/qel_pathname.h>

#include "foundation/pathname_parts.h"

#include <kivctrl/qel_string.h>

#include <string>

using kiv::path::decompose;
using kiv::path::store;

int pathname_get_dir(const char *path, char *out)
{
    const kiv::path::Parts p = decompose(path);
    store(p.has_dir ? p.dir : ".", out);
    return p.has_dir ? 1 : 0;
}

int pathname_get_file(const char *path, char *out)
{
    const std::string_view file = kiv::path::file_part(path);
    store(file, out);
    return file.empty() ? 0 : 1;
}

int pathname_get_simple(const char *path, char *out)
{
    const kiv::path::Parts p = decompose(path);
    store(p.simple, out);
    return p.simple.empty() ? 0 : 1;
}

int pathname_get_ext(const char *path, char *out)
{
    const kiv::path::Parts p = decompose(path);
    store(p.ext, out);
    return p.has_ext ? 1 : 0;
}

int pathname_check_ext(const char *path, const char *ext)
{
    if (!path)
        return 0;
    const kiv::path::Parts p = decompose(path);
    if (!ext)
        return p.has_ext ? 0 : 1;
    return qel_stricmp(std::string(p.ext).c_str(), ext) == 0 ? 1 : 0;
}

void pathname_get(const char *path, char *file, char *dir, int *has_dir, char *ext, int *has_ext)
{
    const kiv::path::Parts p = decompose(path);
    if (file) {
        if (ext)
            store(p.simple, file);
        else
            store(kiv::path::file_part(path), file);
    }
    if (dir)
        store(p.has_dir ? p.dir : ".", dir);
    if (ext)
        store(p.ext, ext);
    if (has_dir)
        *has_dir = p.has_dir ? 1 : 0;
    if (has_ext)
        *has_ext = p.has_ext ? 1 : 0;
}
