// The standard views: one table of viewpoint orientations for the control and the tools.
#include <kivctrl/ve_zoom.h>

#include <array>
#include <cstring>

namespace {

struct StandardView {
    const char *name;
    float a, b, c;
};

constexpr std::array<StandardView, 7> kViews{{
    {"front", 0, 180, 180},
    {"back", 0, 0, 180},
    {"top", 90, 0, 0},
    {"bottom", -90, 0, 0},
    {"left", 90, 90, 90},
    {"right", 90, -90, -90},
    {"iso", 120, -30, -45},
}};

}  // namespace

bool VE_standard_view(const char *name, QEL_VECT3 &eangles)
{
    if (!name)
        return false;
    for (const StandardView &v : kViews)
        if (std::strcmp(v.name, name) == 0) {
            eangles = QEL_VECT3(v.a, v.b, v.c);
            return true;
        }
    return false;
}
