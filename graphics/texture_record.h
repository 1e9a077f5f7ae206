// The texture record of a graphics object and the decoded images it shares.
#pragma once

#include <kivctrl/adt_matrix.h>
#include <kivctrl/gs_bitmap.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

// One decoded image file, shared by every record naming the same path while any holds it.
struct GStextureimage {
    std::string path;
    GSbitmap pixels; // 32 bits per pixel, bottom row first

    explicit GStextureimage(const GSbitmap &b) : pixels(b) {}

    // Whether a side is not a power of two (the upload must be scaled).
    bool resize() const;
    // The pixels as uploaded: sides that are powers of two, within maxside. Scaled copies are
    // made once per size (through GLU, so only on a thread with a current GL context).
    std::shared_ptr<const GSbitmap> upload_pixels(int maxside);

private:
    std::mutex mutex_;
    std::map<std::pair<int, int>, std::shared_ptr<const GSbitmap>> scaled_;
};

// The size an image of w x h is uploaded at: a side that is not a power of two becomes the
// largest one below it, at most 1024; every side stays within maxside.
std::pair<int, int> GStexture_uploadsize(int w, int h, int maxside);

// The image of the file at path, read once per path while some record holds it; null when
// it cannot be read or has no pixels.
std::shared_ptr<GStextureimage> GStextureimage_load(const char *path);

// Coordinate generation: object-linear plane, computed per corner, eye-linear, sphere map.
enum GStexmethod { GS_TEX_PLANE = 1, GS_TEX_COMPUTED = 2, GS_TEX_EYE = 3, GS_TEX_SPHEREMAP = 4 };

struct GStexture {
    std::string path;
    std::shared_ptr<GStextureimage> image;
    int quality = 0; // 0 nearest, 1 or 2 linear
    int type = 0;    // 0 repeat, 1 clamp with border, 2 sphere map
    int smethod = GS_TEX_PLANE;
    int tmethod = GS_TEX_PLANE;
    float position[3] = {0.0f, 0.0f, 0.0f};
    ADT_Matrix orientation;
    float scale[3] = {1.0f, 1.0f, 1.0f};
    float gridposition[3] = {0.0f, 0.0f, 0.0f};
    float gridscale[3] = {1.0f, 1.0f, 1.0f};
    ADT_Matrix gridorientation;
    ADT_Matrix gridmatrix;
    float splane[4] = {1.0f, 0.0f, 0.0f, 0.0f};
    float tplane[4] = {0.0f, 1.0f, 0.0f, 0.0f};
    float size = 0.0f;
    bool changed = false;
    bool inactive = false;
    // Bumped whenever the coordinates a mesh receives may change (grid, method).
    std::uint32_t gridstamp = 0;
    // GL texture objects made for this record in any context live while this does.
    std::shared_ptr<int> alive = std::make_shared<int>(0);

    GStexture();
    ~GStexture();
    GStexture(const GStexture &) = delete;
    GStexture &operator=(const GStexture &) = delete;

    // Grid matrix and planes from the grid values and size.
    void recompute_planes();
    // Whether coordinates are computed per corner.
    bool computed() const { return type != 2 && smethod == GS_TEX_COMPUTED; }
    // Whether OpenGL or the renderer produce the coordinates (triangles are sent one by one).
    bool generates() const { return type != 2 && (smethod == GS_TEX_PLANE || smethod == GS_TEX_COMPUTED); }
};

// How many texture records were destroyed so far; contexts sweep their GL objects on change.
extern std::atomic<std::uint64_t> GStexture_destroyed;
