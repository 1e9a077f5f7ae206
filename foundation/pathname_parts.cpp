#include "foundation/pathname_parts.h"

#include <kivctrl/qel_pathname.h>


namespace kiv::path {

Parts decompose(const char *path)
{
    Parts p;
    if (!path)
        return p;
    const std::string_view all(path);
    std::string_view file = all;
    const std::size_t sep = all.find_last_of("\\/");
    if (sep != std::string_view::npos) {
        p.has_dir = true;
        p.separator = all[sep];
        p.dir = all.substr(0, sep);
        file = all.substr(sep + 1);
    }
    const std::size_t dot = file.rfind('.');
    if (dot != std::string_view::npos) {
        p.has_ext = true;
        p.ext = file.substr(dot + 1);
        file = file.substr(0, dot);
    }
    p.simple = file;
    return p;
}

std::string_view file_part(const char *path)
{
    if (!path)
        return {};
    const std::string_view all(path);
    const std::size_t sep = all.find_last_of("\\/");
    return sep == std::string_view::npos ? all : all.substr(sep + 1);
}

void store(std::string_view text, char *out)
{
    if (!out)
        return;
    if (text.size() + 1 > QEL_PATH_MAX) {
        out[0] = 0;
        return;
    }
    text.copy(out, text.size());
    out[text.size()] = 0;
}

} // namespace kiv::path
