// Reading an object's component name from its loader parameters.
#include "environment/component_name.h"

#include <kivctrl/kiv_db.h>
#include <kivctrl/qel_token.h>
#include <kivctrl/ve_bind.h>

#include <strings.h>

#include <cctype>
#include <vector>

namespace {

// One token starting at s; *rest is left at the delimiter that ended it (whitespace skipped),
// or null at the end of the text.
std::string token(const char *s, const char **rest, const char *delims)
{
    char small[260];
    const int need = qel_unquotestring(small, sizeof small, rest, delims, s, 0);
    std::string out;
    if (need <= static_cast<int>(sizeof small)) {
        out = small;
    } else {
        std::vector<char> big(static_cast<size_t>(need));
        qel_unquotestring(big.data(), need, rest, delims, s, 0);
        out = big.data();
    }
    while (*rest && std::isspace(static_cast<unsigned char>(**rest)))
        ++*rest;
    if (*rest && !**rest)
        *rest = nullptr;
    return out;
}

}  // namespace

namespace kiv::env {

std::string component_name_in(const char *text)
{
    const char *s = text;
    while (s && *s) {
        const char *rest = nullptr;
        const std::string key = token(s, &rest, "=,");
        if (!rest || *rest != '=')
            return {};
        const std::string value = token(rest + 1, &rest, ",");
        if (strcasecmp(key.c_str(), "ComponentName") == 0)
            return value;
        if (!rest || *rest != ',')
            return {};
        s = rest + 1;
    }
    return {};
}

std::string component_name(_object *o)
{
    if (o->type < OBJ_GROUP || o->type > OBJ_VIEWPOINT || o->geolist.isempty())
        return {};
    const _geometry *level = o->geolist.get(1);
    const char *params = level->part.params;
    if (!params || !*params)
        params = level->source.params;
    return component_name_in(params);
}

}  // namespace kiv::env
