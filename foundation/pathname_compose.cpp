#include <kivctrl/qel_pathname.h>

#include "foundation/pathname_parts.h"

#include <algorithm>
#include <string>

using kiv::path::is_separator;

namespace {

char last_separator(std::string_view s)
{
    const std::size_t i = s.find_last_of("\\/");
    return i == std::string_view::npos ? 0 : s[i];
}

struct Pieces {
    std::string dir;
    std::string simple;
    std::string ext;
    bool has_dir = false;
    bool has_ext = false;
    char root = '/'; // separator written for a directory that is only the root
};

Pieces pieces_of(const char *path)
{
    const kiv::path::Parts p = kiv::path::decompose(path);
    Pieces c{std::string(p.dir), std::string(p.simple), std::string(p.ext), p.has_dir, p.has_ext};
    if (p.separator)
        c.root = p.separator;
    return c;
}

// Directory, simple name and extension composed with '/', then every separator made the
// last one of dir_hint, or failing that of path_hint, when either has one.
std::string compose(const Pieces &c, std::string_view dir_hint, std::string_view path_hint)
{
    std::string out;
    if (c.has_dir) {
        // An empty directory after a separator is the root: "/x" must not become "./x".
        out = c.dir.empty() ? std::string(1, c.root) : c.dir;
        if (!is_separator(out.back()))
            out += '/';
    }
    out += c.simple;
    if (c.has_ext)
        out += '.' + c.ext;
    char sep = last_separator(dir_hint);
    if (!sep)
        sep = last_separator(path_hint);
    if (sep)
        std::replace_if(out.begin(), out.end(), is_separator, sep);
    return out;
}

bool is_relative(std::string_view dir)
{
    return !dir.empty() && !is_separator(dir.front()) && dir.find(':') == std::string_view::npos;
}

std::string_view view(const char *s)
{
    return s ? std::string_view(s) : std::string_view();
}

} // namespace

char *pathname_set(char *out, const char *path, const char *name, const char *dir,
                   const char *ext)
{
    Pieces c = pieces_of(path);
    if (dir) {
        c.dir = dir;
        c.has_dir = true;
        if (c.dir.empty())
            c.dir.assign(1, '.');
    }
    if (ext) {
        c.ext = ext;
        c.has_ext = !c.ext.empty();
    }
    if (name)
        c.simple = name;
    const std::string_view dir_hint = dir ? view(dir) : std::string_view(c.dir);
    kiv::path::store(compose(c, dir_hint, view(path)), out);
    return out;
}

namespace kiv::path {

std::string join(const char *path, const char *dir, const char *ext)
{
    Pieces c = pieces_of(path);
    if (dir && *dir) {
        if (c.has_dir && is_relative(c.dir)) {
            c.dir = std::string(dir) + '/' + c.dir;
        } else if (!c.has_dir) {
            c.dir = dir;
            c.has_dir = true;
        }
    }
    if (ext && *ext && !c.has_ext) {
        c.ext = ext;
        c.has_ext = true;
    }
    const std::string_view dir_hint = dir && *dir ? view(dir) : std::string_view(c.dir);
    return compose(c, dir_hint, view(path));
}

} // namespace kiv::path

char *pathname_join(char *out, const char *path, const char *dir, const char *ext)
{
    kiv::path::store(kiv::path::join(path, dir, ext), out);
    return out;
}

char *pathname_add_ext(char *out, const char *path, const char *ext)
{
    std::string s = path ? path : "";
    if (path && ext && *ext)
        s += '.' + std::string(ext);
    kiv::path::store(s, out);
    return out;
}
