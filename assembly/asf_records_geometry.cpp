// Geometry records: the part files of an object's levels of detail, primitive shapes and
// the extent boxes shown while parts load in the background.
#include "assembly/asf_reading.h"

#include <kivctrl/geom_params.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_pathname.h>
#include <kivctrl/ve_bind.h>

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace kiv::asf {

namespace {

constexpr std::size_t kFileNameMax = QEL_PATH_MAX - 1;

// Segment counts of primitive shapes decide the size of the mesh they make.
constexpr int kMinSegments = 3;
constexpr int kMaxSegments = 4096;

int capped_segments(int n, int least)
{
    const int capped = std::clamp(n, least, kMaxSegments);
    if (capped != n) {
        const std::string from = std::to_string(n);
        const std::string to = std::to_string(capped);
        esd_send("A GEOMETRY segment count of %1 was changed to %2.", from.c_str(), to.c_str());
    }
    return capped;
}

// The integral part of a count, held within the int range.
int whole(double n)
{
    const double v = std::trunc(n);
    return v > 1e9 ? 1000000000 : v < -1e9 ? -1000000000 : static_cast<int>(v);
}

int rounded(float n)
{
    return whole(static_cast<double>(n) + 0.5);
}

void store_shape(_object *o, const _geom_params &shape)
{
    delete static_cast<_geom_params *>(o->vars.remove("_GEOM_PARAMS"));
    o->vars.add("_GEOM_PARAMS", new _geom_params(shape));
}

} // namespace

bool fill_shape(_geom_params &g, const std::string &kind, const std::string &values)
{
    float v[6];
    const int n = scan_floats(values, v, 6);
    auto at = [&](int i, float fallback) { return i < n ? v[i] : fallback; };
    const char *k = kind.c_str();
    if (strcasecmp(k, "BOX") == 0) {
        g.kind = 1;
        g.p[0] = at(0, 1.0f);
        g.p[1] = at(1, 1.0f);
        g.p[2] = at(2, 1.0f);
    } else if (strcasecmp(k, "CONE") == 0 || strcasecmp(k, "CYLINDER") == 0) {
        g.kind = strcasecmp(k, "CONE") == 0 ? 2 : 3;
        g.p[4] = at(0, 1.0f);
        g.p[3] = at(1, 1.0f);
        g.segments = capped_segments(rounded(at(2, 25.0f)), kMinSegments);
    } else if (strcasecmp(k, "SPHERE") == 0) {
        g.kind = 4;
        g.p[3] = at(0, 1.0f);
        g.segments = capped_segments(rounded(at(1, 25.0f)), kMinSegments);
    } else if (strcasecmp(k, "PLANE") == 0) {
        g.kind = 6;
        g.p[5] = at(0, 1.0f);
        g.p[4] = at(1, 1.0f);
    } else if (strcasecmp(k, "HELIX") == 0) {
        g.kind = 5;
        g.p[4] = at(0, 1.0f);
        g.p[6] = at(1, 1.0f);
        g.segments = capped_segments(n > 2 ? whole(v[2]) : 1, 1);
        g.p[7] = at(3, 1.0f);
        g.segments2 = capped_segments(n > 4 ? whole(v[4]) : 1, 1);
        g.p[8] = at(5, 1.0f);
    } else {
        return false;
    }
    return true;
}

// FILE ( name ) or FILE ( name, threshold ): one more level of detail. While a FILEINFO
// waits for its SOURCEINFO the level it made is the object's file.
void read_file(Reading &r)
{
    const std::string name = r.in.string_token(kFileNameMax);
    float threshold = 0.0f;
    if (r.in.take(','))
        scan_floats(r.in.value(), &threshold, 1);
    else
        r.in.finish_body();
    if (!r.current || r.geometry)
        return;
    obj_set_file(r.current, r.joined(name).c_str(), threshold);
}

namespace {

struct InfoFields {
    std::string name, type, params;
    float value = 0.0f;
};

InfoFields read_info(Reading &r)
{
    InfoFields f;
    f.name = r.in.string_token(kFileNameMax);
    if (r.in.take(',')) {
        f.type = r.in.string_token(kFileNameMax);
        if (r.in.take(',')) {
            f.params = r.in.string_token(kFileNameMax);
            if (r.in.take(',')) {
                scan_floats(r.in.value(), &f.value, 1);
                return f;
            }
        }
    }
    r.in.finish_body();
    return f;
}

void set_if_given(_part_info &info, const std::string &type, const std::string &params)
{
    if (!type.empty())
        info.set_type(type.c_str());
    if (!params.empty())
        info.set_params(params.c_str());
}

} // namespace

void read_fileinfo(Reading &r)
{
    const InfoFields f = read_info(r);
    if (!r.current)
        return;
    const std::string name = r.joined(f.name);
    _geometry *g = nullptr;
    obj_set_file(r.current, name.c_str(), g, f.value);
    if (!g)
        return;
    r.geometry = g;
    set_if_given(g->part, f.type, f.params);
    // An empty name leaves the source without one (never the reading directory).
    if (!name.empty())
        g->source.set_name(name.c_str());
    set_if_given(g->source, f.type, f.params);
}

void read_sourceinfo(Reading &r)
{
    const InfoFields f = read_info(r);
    if (!r.geometry)
        return;
    if (!f.name.empty())
        r.geometry->source.set_name(r.joined(f.name).c_str());
    set_if_given(r.geometry->source, f.type, f.params);
    r.geometry = nullptr;
}

// GEOMETRY ( kind ) or GEOMETRY ( kind, values ): a primitive shape and an empty level for it.
void read_geometry(Reading &r)
{
    const std::string kind = r.in.string_token(Input::kWordMax);
    _geom_params g;
    if (r.in.take(',')) {
        if (!fill_shape(g, kind, r.in.value()))
            g.kind = 0;
    } else {
        r.in.finish_body();
    }
    if (!r.current)
        return;
    store_shape(r.current, g);
    r.current->geolist.append(new _geometry(0.0f));
}

// With background loading on, a part waiting for its file shows as a box of its extent.
void read_extent(Reading &r)
{
    float v[3];
    if (!read_floats(r, v, 3) || !r.current)
        return;
    _object *o = r.current;
    if (!env_get_threading() || o->type == OBJ_FACE || o->vars.find("_GEOM_PARAMS") != 0)
        return;
    _geom_params box;
    box.kind = 1;
    box.p[0] = v[0];
    box.p[1] = v[1];
    box.p[2] = v[2];
    store_shape(o, box);
    obj_set_active(o, 1);
    delete static_cast<_geom_params *>(o->vars.remove("_GEOM_PARAMS"));
}

void read_faceinfo(Reading &r)
{
    int v[2];
    if (scan_ints(r.in.value(), v, 2) == 2 && v[0] == 1 && r.current)
        r.current->face_index = v[1];
}

} // namespace kiv::asf
