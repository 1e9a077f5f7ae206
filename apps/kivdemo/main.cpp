// kivdemo: a short tour of the engine as it stands. It builds a small assembly (a base plate
// with a shaft and a hub) in the scene database, builds the matching meshes as graphics
// objects, renders one frame headless on the off-screen GL surface, and saves it as a PNG
// through the still-picture writer plug-in that ships beside the engine.
#include "platform/gl_surface.h"

#include <kivctrl/kivctrl.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// Prints the engine's error reports, filling in "%1" and "%2".
class ErrorPrinter : public MsgHandlerImp {
public:
    ErrorPrinter() { msg_handler_register(this); }
    ~ErrorPrinter() override { msg_handler_unregister(this); }
    const char *name() override { return "kivdemo error printer"; }
    int handle(short code, void *data, std::intptr_t n) override
    {
        if (code != MSG_ERROR || !data)
            return 0;
        const auto *record = static_cast<const ESD_MESSAGE *>(data);
        std::string text = record->format ? record->format : "";
        for (int i = 0; i < n && i < 2; ++i) {
            const std::string key = i == 0 ? "%1" : "%2";
            const char *arg = record->args[i] ? record->args[i] : "";
            for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
                text.replace(at, key.size(), arg);
        }
        std::fprintf(stderr, "kivdemo: %s\n", text.c_str());
        return 0;
    }
};

// A closed prism: a regular n-gon of the given radius extruded along z from z0 to z1.
GSobject *prism(int n, float radius, float z0, float z1, float r, float g, float b)
{
    GSobject *obj = GSobject_begin(2 * n);
    for (float z : {z0, z1}) {
        for (int i = 0; i < n; ++i) {
            const float a = 6.2831853f * (i + 0.5f) / n;
            float p[3] = {radius * std::cos(a), radius * std::sin(a), z};
            GSvertex v = GSvertex_new(p);
            GSobject_addvertex(obj, &v);
        }
    }
    GSpoly *bottom = GSpoly_begin(obj);
    for (int i = n - 1; i >= 0; --i)
        GSpoly_addvertex(bottom, i);
    GSpoly_close(bottom);
    GSpoly *top = GSpoly_begin(obj);
    for (int i = 0; i < n; ++i)
        GSpoly_addvertex(top, n + i);
    GSpoly_close(top);
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1) % n;
        GSpoly *side = GSpoly_begin(obj);
        for (int k : {i, j, n + j, n + i})
            GSpoly_addvertex(side, k);
        GSpoly_close(side);
    }
    GSobject_close(obj, 40.0f); // smooth the round parts, keep the caps' edges sharp
    GSobject_setcolor(obj, r, g, b, 100);
    GSobject_add(obj);
    return obj;
}

// The database side: an assembly with named parts, found again by name and id.
void build_assembly()
{
    db_new_assembly("demo");
    _object *root = db_get_root();
    _object *group = db_create_obj(root, static_cast<OBJECT_TYPE>(2));
    obj_set_name(group, "bracket");
    for (const char *name : {"base plate", "shaft", "hub"})
        obj_set_name(db_create_obj(group, static_cast<OBJECT_TYPE>(3)), name);
    _object *shaft = name_to_obj("shaft");
    std::printf("  assembly \"demo\": group \"bracket\" with 3 parts; \"shaft\" found by name under \"%s\"\n",
                shaft ? obj_get_name(obj_get_parent(shaft)) : "?");
}

// The rendered surface as a depth-32 bitmap, bottom row first.
GSbitmap snapshot(const kiv::platform::GlSurface &surface)
{
    GSbitmap bitmap(surface.width(), surface.height(), 32);
    for (int y = 0; y < surface.height(); ++y) {
        unsigned char *row = bitmap.row(surface.height() - 1 - y);
        for (int x = 0; x < surface.width(); ++x) {
            const std::uint32_t p = surface.pixel(x, y);
            const unsigned char rgba[4] = {static_cast<unsigned char>(p >> 16), static_cast<unsigned char>(p >> 8),
                                           static_cast<unsigned char>(p), 255};
            std::memcpy(row + 4 * x, rgba, 4);
        }
    }
    return bitmap;
}

// Writes the bitmap with the PNG plug-in found beside the engine library.
bool save_png(const GSbitmap &bitmap, const char *file)
{
    char dir[260];
    qel_getlaunchd(reinterpret_cast<void *>(&GSuniverse_redraw), dir, sizeof dir);
    const std::string plugin = std::string(dir) + "/qel_png";
    void *library = dl_open(plugin.c_str(), "dll_init", nullptr);
    GSimageWriterFactory *factory = library ? still_writer_get_factory("Portable Network Graphics") : nullptr;
    bool ok = false;
    if (factory) {
        GSimageParams params(file);
        std::unique_ptr<GSimageWriter> writer(factory->create(params));
        ok = writer && writer->write(&bitmap) && writer->error() == 0;
    }
    if (library)
        dl_close(library);
    return ok;
}

} // namespace

int main(int argc, char **argv)
{
    const char *out = argc > 1 ? argv[1] : "kivdemo.png";
    if (argc > 2 || (argc == 2 && (!std::strcmp(out, "--help") || !std::strcmp(out, "-h")))) {
        std::printf("usage: kivdemo [OUTPUT.png]\nRenders the demonstration assembly to OUTPUT.png (default kivdemo.png).\n");
        return argc > 2 ? 2 : 0;
    }
    ErrorPrinter errors;
    std::printf("kivctrl demo\n");
    build_assembly();

    auto surface = kiv::platform::GlSurface::create(kWidth, kHeight);
    if (!surface || !surface->make_current()) {
        std::fprintf(stderr, "kivdemo: no off-screen OpenGL context\n");
        return 1;
    }
    GSuniverse_init(kWidth, kHeight);
    GSuniverse_setbgcolor(0.82f, 0.85f, 0.9f);
    GSviewpoint *vp = GSuniverse_getviewpoint();
    float eye[3] = {0, 0, 13};
    float straight[4] = {1, 0, 0, 0};
    GSviewpoint_setposition(vp, eye);
    GSviewpoint_setorientation(vp, straight);
    GSviewpoint_setviewangle(vp, 40);
    float sun[3] = {-0.4f, -0.6f, -0.7f};
    GSlight *light = GSlight_newdirected(sun, 0.9f);
    GSlight_add(light);
    GSlight_setambient(0.25f);

    std::vector<GSobject *> parts = {prism(4, 3.0f, -0.4f, 0.0f, 0.55f, 0.58f, 0.62f),
                                     prism(24, 0.35f, 0.0f, 3.0f, 0.85f, 0.75f, 0.3f),
                                     prism(6, 0.9f, 1.2f, 1.8f, 0.2f, 0.45f, 0.8f)};
    // Tip the assembly back so that the view shows its top and its front.
    const float tilt[4] = {0.4617486f, 0, 0, 0.8870108f}; // x, y, z, w: 55 degrees about x
    for (GSobject *p : parts)
        GSobject_setorientation(p, tilt);
    GSuniverse_changed(1);
    GSuniverse_redraw();
    surface->present();
    const bool saved = save_png(snapshot(*surface), out);

    for (GSobject *p : parts)
        GSobject_delete(p);
    GSlight_remove(light);
    GSlight_delete(light);
    GSuniverse_term();
    db_delete_assembly();
    if (!saved) {
        std::fprintf(stderr, "kivdemo: could not write %s\n", out);
        return 1;
    }
    std::printf("  rendered %d x %d pixels headless and saved %s through the qel_png plug-in\n", kWidth, kHeight, out);
    return 0;
}
