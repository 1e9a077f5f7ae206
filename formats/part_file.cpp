// GSobject_read and GSobject_write: the file forms, their streams and the finishing of a
// part that was read.
#include <kivctrl/gs_part_file.h>

#include "formats/part_file.h"

#include "graphics/gs_primitive.h"

#include <kivctrl/qel_localfile.h>
#include <kivctrl/qel_msg.h>
#include <kivctrl/qel_stream.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <string>

namespace {

struct PartForm {
    const char *name;
    int streamflags;
    PartReadFn read;    // null: the form cannot be read
    PartWriteFn write;  // null: the form cannot be written
};

// Indexed by GSfileformat.
const PartForm kForms[] = {
    {"text part", 0, kvg_read, kvg_write},
    {"binary part", QEL_STREAM_BINARY, kvb_read, kvb_write},
    {"VRML 1.0", 0, nullptr, vrml1_write},
    {"VRML 2.0", 0, nullptr, vrml2_write},
};

const PartForm *form_of(GSfileformat fmt)
{
    const int i = static_cast<int>(fmt);
    return i >= 0 && i < static_cast<int>(std::size(kForms)) ? &kForms[i] : nullptr;
}

struct ObjectDeleter {
    void operator()(GSobject *obj) const { GSobject_delete(obj); }
};

// Everything read sits in the face groups, so the mesh's counts are theirs; the object is
// closed and placed at the origin.
void finish(ADT_Object &obj)
{
    GSmesh &mesh = *obj.mesh;
    mesh.polygoncount = mesh.primitivecount = 0;
    for (const GSsubmesh *group : mesh.facegroups) {
        mesh.polygoncount += group->polygoncount;
        mesh.primitivecount += group->primitivecount;
    }
    obj.close(0.0f);
    const float origin[3] = {0.0f, 0.0f, 0.0f};
    const float identity[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    GSobject_setposition(&obj, origin);
    GSobject_setorientation(&obj, identity);
}

// Why fmt cannot be read (or written); empty when it can.
std::string unsupported(GSfileformat fmt, bool writing)
{
    const PartForm *form = form_of(fmt);
    if (!form)
        return "unknown part file form " + std::to_string(static_cast<int>(fmt));
    if (writing ? !form->write : !form->read)
        return std::string("the ") + form->name + " form cannot be " + (writing ? "written" : "read");
    return {};
}

// The part read from in, or null with the reason in why.
GSobject *read_part(QelFileReader &in, GSfileformat fmt, std::string &why)
{
    why = unsupported(fmt, false);
    if (!why.empty())
        return nullptr;
    if (in.error()) {
        why = "the file cannot be opened";
        return nullptr;
    }
    try {
        std::unique_ptr<GSobject, ObjectDeleter> obj(GSobject_begin());
        auto &o = static_cast<ADT_Object &>(*obj);
        form_of(fmt)->read(o, in);
        finish(o);
        return obj.release();
    } catch (const PartFileError &e) {
        why = e.what();
    } catch (const std::bad_alloc &) {
        why = "out of memory";
    }
    return nullptr;
}

} // namespace

GSobject *GSobject_read(const char *path, GSfileformat fmt)
{
    if (!path)
        return nullptr;
    std::string why = unsupported(fmt, false);
    GSobject *obj = nullptr;
    if (why.empty()) {
        const std::unique_ptr<QelFileReader> in(QelCreateReaderInstance(path, form_of(fmt)->streamflags));
        if (in)
            obj = read_part(*in, fmt, why);
        else
            why = "out of memory";
    }
    if (!obj)
        esd_send("Cannot read the part file %1: %2", path, why.c_str());
    return obj;
}

GSobject *GSobject_read(QelFileReader &reader, GSfileformat fmt)
{
    std::string why;
    GSobject *obj = read_part(reader, fmt, why);
    if (!obj)
        esd_send("Cannot read the part file: %1", why.c_str());
    return obj;
}

bool GSobject_write(GSobject *obj, const char *path, GSfileformat fmt)
{
    if (!obj || !path)
        return false;
    std::string why = unsupported(fmt, true);
    if (why.empty() && obj->kind() != GS_KIND_OBJECT)
        why = "a face group is written with the object it belongs to";
    if (why.empty()) {
        const std::unique_ptr<QelFileWriter> out(QelCreateWriterInstance(path, form_of(fmt)->streamflags));
        if (!out || out->error()) {
            why = "the file cannot be created";
        } else {
            try {
                const bool written = form_of(fmt)->write(static_cast<ADT_Object &>(*obj), *out);
                // Data still buffered can fail only when it reaches the disk.
                auto *local = dynamic_cast<QelNarrowWriterImp *>(out.get());
                if (written && (!local || local->close() == 0))
                    return true;
                why = "the file could not be written completely";
            } catch (const std::bad_alloc &) {
                why = "out of memory";
            }
        }
    }
    esd_send("Cannot write the part file %1: %2", path, why.c_str());
    return false;
}

GSsubmesh &part_add_face_group(ADT_Object &obj)
{
    GSobject *face = GSface_begin();
    GSface_attach(&obj, face);
    return *static_cast<ADT_Face *>(face)->submesh;
}

void part_set_bounds(GSpolylist &list, const float bounds[6])
{
    const bool empty = bounds[0] > bounds[3] || bounds[1] > bounds[4] || bounds[2] > bounds[5];
    for (int i = 0; i < 6; ++i)
        list.bounds[i] = empty ? 0.0f : bounds[i];
    list.set_measures_from_bounds();
}

std::string part_corner_fault(const GScorner &c, size_t nv, size_t nn)
{
    if (c.vertex < 0 || static_cast<size_t>(c.vertex) >= nv)
        return "vertex index " + std::to_string(c.vertex) + " is outside the " + std::to_string(nv) + " vertices";
    if (c.normal < -1 || (c.normal >= 0 && static_cast<size_t>(c.normal) >= nn))
        return "normal index " + std::to_string(c.normal) + " is outside the " + std::to_string(nn) + " normals";
    return {};
}

std::string part_record_fault(int kind, size_t n)
{
    const size_t per = kind == GS_LINES ? 2 : kind == GS_TRIANGLES ? 3 : kind == GS_QUADS ? 4 : 1;
    if (n % per == 0)
        return {};
    return std::string("a ") + gs_kind_keyword(kind) + " record needs a multiple of " + std::to_string(per) +
           " corners, it has " + std::to_string(n);
}

std::array<float, 6> part_bounds(const GSmesh &mesh, const GSpolylist *corners_of)
{
    std::array<float, 6> box = {1.0e38f, 1.0e38f, 1.0e38f, -1.0e38f, -1.0e38f, -1.0e38f};
    const size_t nv = mesh.vertexcount();
    auto add = [&](size_t v) {
        for (size_t i = 0; i < 3; ++i) {
            box[i] = std::min(box[i], mesh.vertices[3 * v + i]);
            box[i + 3] = std::max(box[i + 3], mesh.vertices[3 * v + i]);
        }
    };
    if (!corners_of) {
        for (size_t v = 0; v < nv; ++v)
            add(v);
    } else {
        for (const GSpoly &p : corners_of->polys)
            for (const GScorner &c : p.corners)
                if (c.vertex >= 0 && static_cast<size_t>(c.vertex) < nv)
                    add(static_cast<size_t>(c.vertex));
    }
    if (box[0] > box[3])
        box.fill(0.0f);
    return box;
}
