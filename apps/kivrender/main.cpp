// kivrender: renders a part or assembly file headless to a picture. The file is read through
// the loader registry, drawn by the universe into an off-screen display surface and written by the
// still-picture writer plug-in for the output's suffix, attached to the surface as a
// GSimageSaver.
#include "assembly_file.h"
#include "engine_errors.h"
#include "framing.h"
#include "options.h"
#include "part_file.h"
#include "plugins.h"

#include <kivctrl/kivctrl.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace kivrender;

constexpr double kViewAngle = 30.0;
constexpr double kMargin = 0.05;
// A dark slate background, against which the white of parts without colours of their own
// and light colours both stand out.
constexpr float kBackground[3] = {60 / 255.0f, 68 / 255.0f, 82 / 255.0f};

int fail(const std::string &message, int status = 1)
{
    std::fprintf(stderr, "kivrender: %s\n", message.c_str());
    return status;
}

// The universe's lights for one picture: ambient, and a light from above left behind the
// viewer, so that faces of different slopes come out in different shades.
class Lighting {
public:
    explicit Lighting(const QEL_QUAT &view)
    {
        // In camera axes: shining right, down (the camera's +Y) and ahead.
        const QEL_VECT3 shine = view.xform(QEL_VECT3(0.35f, 0.45f, 0.82f)).norm();
        float direction[3] = {shine.x, shine.y, shine.z};
        light_ = GSlight_newdirected(direction, 0.65f);
        GSlight_setdirection(light_, direction);
        GSlight_setcolor(light_, 1, 1, 1);
        GSlight_add(light_);
        GSlight_setambient(0.3f);
    }
    ~Lighting()
    {
        GSlight_remove(light_);
        GSlight_delete(light_);
    }
    Lighting(const Lighting &) = delete;
    Lighting &operator=(const Lighting &) = delete;

private:
    GSlight *light_;
};

struct PartDeleter {
    void operator()(GSobject *obj) const { GSobject_delete(obj); }
};

// Deletes the assembly read for the picture, its parts with it.
struct AssemblyDeleter {
    explicit AssemblyDeleter(_object *r) : root(r) {}
    ~AssemblyDeleter()
    {
        if (root)
            db_delete_assembly(obj_get_assembly(root));
    }
    AssemblyDeleter(const AssemblyDeleter &) = delete;
    AssemblyDeleter &operator=(const AssemblyDeleter &) = delete;
    _object *root;
};

int render(const Options &options)
{
    EngineErrors reports;
    const std::string output = options.output.empty()
                                   ? std::filesystem::path(options.part).stem().string() + ".png"
                                   : options.output;
    load_plugins();
    GSimageWriterFactory *factory = still_writer_for(output);
    if (!factory) {
        const std::string suffix = std::filesystem::path(output).extension().string();
        if (suffix.empty())
            return fail("cannot tell the picture format of '" + output + "': give it a suffix such as .png");
        return fail("no picture writer for '" + suffix + "' files among the plug-ins in " + engine_directory() +
                    (qel_stricmp(suffix.c_str(), ".png") == 0 ? " (qel_png.so is missing)" : ""));
    }

    // The surface first: the universe it sets up receives the assembly's parts and lights.
    GSbitmapDisplaySurface surface(0, options.width, options.height, 24);
    if (surface.error())
        return fail("no off-screen OpenGL context for a " + std::to_string(options.width) + "x" +
                    std::to_string(options.height) + " picture");

    std::string error;
    std::unique_ptr<GSobject, PartDeleter> part;
    _object *root = nullptr;
    std::vector<QEL_VECT3> corners;
    if (is_assembly(options.part)) {
        root = load_assembly(options.part, error);
        if (!root)
            return fail(error);
        collect_assembly_corners(root, corners);
    } else {
        part.reset(load_part(options.part, error));
        if (!part)
            return fail(error);
        collect_corners(part.get(), corners);
    }
    const AssemblyDeleter assembly_deleter(root);

    QEL_QUAT view;
    Camera camera;
    double viewangle = kViewAngle;
    if (standard_view(options.view, view)) {
        if (!frame_points(corners, view, viewangle, options.width, options.height, kMargin, camera))
            return fail("'" + options.part + "' holds no geometry to draw");
    } else if (root) {
        QEL_VECT3 at;
        if (!named_view(root, options.view, at, view))
            return fail("unknown view '" + options.view + "': expected " + view_list() +
                            " or a view of the assembly (" + view_names_of(root) + ")",
                        2);
        if (_object *vp = name_to_obj(options.view.c_str()); vp && vp->type == OBJ_VIEWPOINT)
            viewangle = obj_get_viewangle(vp);
        if (!place_camera(corners, at, view, camera))
            return fail("nothing of '" + options.part + "' lies in front of the view '" + options.view + "'");
    } else {
        return fail("unknown view '" + options.view + "': expected " + view_list(), 2);
    }

    if (part)
        GSobject_add(part.get());
    // An assembly's own background colour is its root's.
    if (root && root->color.r >= 0.0f)
        GSuniverse_setbgcolor(root->color.r, root->color.g, root->color.b);
    else
        GSuniverse_setbgcolor(kBackground[0], kBackground[1], kBackground[2]);
    GSviewpoint *vp = GSuniverse_getviewpoint();
    float position[3], orientation[4] = {view.x, view.y, view.z, view.w};
    GSviewpoint_setposition(vp, camera.position.to3(position));
    GSviewpoint_setorientation(vp, orientation);
    GSviewpoint_setviewangle(vp, static_cast<float>(viewangle));
    GSviewpoint_sethithervalue(vp, camera.hither);
    GSviewpoint_setyonvalue(vp, camera.yon);
    Lighting lighting(view);

    GSimageParams params(output.c_str());
    params.width = options.width;
    params.height = options.height;
    reports.clear();
    int written = 0;
    {
        GSimageSaver saver(factory->create(params), &surface);
        surface.draw();
        written = saver.frames();
    }
    // The writer's own report names the file and the reason.
    if (!written)
        return fail(reports.last().empty() ? "cannot write '" + output + "'" : reports.last());
    std::printf("kivrender: wrote %s (%dx%d, %s view)\n", output.c_str(), options.width, options.height,
                options.view.c_str());
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    Options options;
    std::string error;
    if (!parse_options(args, options, error))
        return fail(error, 2);
    if (options.help) {
        std::fputs(usage().c_str(), stdout);
        return 0;
    }
    const int status = render(options);
    // The writers' code lives in the plug-ins: close them only once every writer is gone.
    dl_term();
    return status;
}
