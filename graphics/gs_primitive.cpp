// The primitive table of polygon kinds.
#include "graphics/gs_primitive.h"

#include <kivctrl/gsobject.h>

#include <algorithm>

int gs_primitive_count(int kind, int n)
{
    int count = 0;
    switch (kind) {
    case GS_POINTS: count = n; break;
    case GS_LINES: count = n / 2; break;
    case GS_LINE_LOOP: count = n; break;
    case GS_LINE_STRIP: count = n - 1; break;
    case GS_TRIANGLES: count = n / 3; break;
    case GS_TRIANGLE_STRIP:
    case GS_TRIANGLE_FAN: count = n - 2; break;
    case GS_QUADS: count = n / 4; break;
    case GS_QUAD_STRIP: count = (n - 2) / 2; break;
    case GS_POLYGON: count = n > 0 ? 1 : 0; break;
    default: break;
    }
    return std::max(count, 0);
}

int gs_corners_per_primitive(int kind, int n)
{
    switch (kind) {
    case GS_POINTS: return 1;
    case GS_LINES:
    case GS_LINE_LOOP:
    case GS_LINE_STRIP: return 2;
    case GS_TRIANGLES:
    case GS_TRIANGLE_STRIP:
    case GS_TRIANGLE_FAN: return 3;
    case GS_QUADS:
    case GS_QUAD_STRIP: return 4;
    case GS_POLYGON: return n;
    default: return 0;
    }
}

int gs_corner_index(int kind, int n, int a, int v)
{
    switch (kind) {
    case GS_POINTS: return a;
    case GS_LINES: return 2 * a + v;
    case GS_LINE_LOOP: return a + v == n ? 0 : a + v;
    case GS_LINE_STRIP: return a + v;
    case GS_TRIANGLES: return 3 * a + v;
    case GS_TRIANGLE_STRIP:
        // Odd triangles swap their first two corners to keep one winding.
        if (a % 2 == 1 && v < 2) return a + 1 - v;
        return a + v;
    case GS_TRIANGLE_FAN: return v == 0 ? 0 : a + v;
    case GS_QUADS: return 4 * a + v;
    case GS_QUAD_STRIP: return v < 2 ? 2 * a + v : 2 * a + 5 - v;
    case GS_POLYGON: return v;
    default: return 0;
    }
}

const char *gs_kind_keyword(int kind)
{
    static const char *const names[] = {"POINTS",         "LINES",        "LINE_LOOP", "LINE_STRIP", "TRIANGLES",
                                        "TRIANGLE_STRIP", "TRIANGLE_FAN", "QUADS",     "QUAD_STRIP", "POLYGON"};
    return kind >= 0 && kind <= 9 ? names[kind] : nullptr;
}
