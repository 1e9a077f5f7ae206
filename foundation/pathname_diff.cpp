#include <kivctrl/qel_pathname.h>

#include "foundation/pathname_parts.h"

#include <string_view>

using kiv::path::is_separator;

namespace {

bool same_char(char a, char b)
{
    if (is_separator(a) && is_separator(b))
        return true;
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return lower(a) == lower(b);
}

} // namespace

int pathname_diff_dir(const char *a, const char *b, char *common, const char **rest_a,
                      const char **rest_b)
{
    std::size_t len = 0;    // length of the common part
    std::size_t skip = 0;   // separator skipped after it
    if (a && b) {
        std::size_t i = 0;
        std::size_t last_sep = 0;
        bool any_sep = false;
        for (; a[i] && b[i] && same_char(a[i], b[i]); ++i) {
            if (is_separator(a[i])) {
                last_sep = i;
                any_sep = true;
            }
        }
        if (!a[i] && !b[i]) {
            len = i;
        } else if ((!a[i] && is_separator(b[i])) || (!b[i] && is_separator(a[i]))) {
            len = i;
            skip = 1;
        } else if (any_sep) {
            len = last_sep;
            skip = 1;
        }
    }
    kiv::path::store(a ? std::string_view(a, len) : std::string_view(), common);
    if (rest_a)
        *rest_a = a ? a + len + (a[len] ? skip : 0) : nullptr;
    if (rest_b)
        *rest_b = b ? b + len + (b[len] ? skip : 0) : nullptr;
    return static_cast<int>(len);
}
