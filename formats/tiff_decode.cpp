// TIFF decoding through libtiff's RGBA interface, which covers strips and tiles, planar
// layouts, compressions and sample sizes from 1 to 16 bits. Only the first page is read,
// but the whole page chain is walked first so that a looping file is refused.
#include "formats/image_decoders.h"

#include <kivctrl/qel_msg.h>

#include "platform/local_path.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include <tiffio.h>

namespace kiv::formats {
namespace {

struct Diagnostics {
    std::string first_error;
    bool loop = false;  // libtiff found a page chain that comes back on itself
};

int on_error(TIFF *, void *user, const char *module, const char *format, va_list args)
{
    auto *d = static_cast<Diagnostics *>(user);
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (d->first_error.empty())
        d->first_error = std::string(module ? module : "libtiff") + ": " + text;
    return 1;
}

// libtiff only warns about a looping page chain and treats the page before the loop as the
// last; such a file is damaged and refused.
int on_warning(TIFF *, void *user, const char *, const char *format, va_list args)
{
    char text[512];
    std::vsnprintf(text, sizeof text, format, args);
    if (std::strstr(text, "IFD loop") || std::strstr(text, "IFD looping"))
        static_cast<Diagnostics *>(user)->loop = true;
    esd_debug_send(text);
    return 1;
}

struct TiffCloser {
    void operator()(TIFF *t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// Opens the file with its diagnostics going to d; null with d.first_error set on failure.
TiffPtr open(const char *file, Diagnostics &d)
{
    TIFFOpenOptions *options = TIFFOpenOptionsAlloc();
    TIFFOpenOptionsSetErrorHandlerExtR(options, on_error, &d);
    TIFFOpenOptionsSetWarningHandlerExtR(options, on_warning, &d);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options, static_cast<tmsize_t>(max_image_pixels * 4));
    TiffPtr tif(TIFFOpenExt(kiv::platform::resolve_local_path(file ? file : "").c_str(), "r",
                            options));
    TIFFOpenOptionsFree(options);
    if (!tif && d.first_error.empty())
        d.first_error = "cannot open the file";
    return tif;
}

// Checks the first page: the page chain ends, the tags are usable, the size is sane.
bool check(TIFF *tif, Diagnostics &d, std::uint32_t &width, std::uint32_t &height)
{
    TIFFNumberOfDirectories(tif);
    if (d.loop && d.first_error.empty())
        d.first_error = "TIFF page chain loops";
    if (!d.first_error.empty() || !TIFFSetDirectory(tif, 0))
        return false;
    std::uint16_t photometric = 0;
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric)) {
        std::uint16_t bits = 1, samples = 1;
        TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
        if (bits != 1 || samples != 1) {
            d.first_error = "TIFF picture without a photometric interpretation";
            return false;
        }
    }
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) ||
        !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height) || width == 0 || height == 0) {
        d.first_error = "TIFF picture without a size";
        return false;
    }
    if (static_cast<std::uint64_t>(width) * height > max_image_pixels) {
        d.first_error = "TIFF picture too large";
        return false;
    }
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tif, reason)) {
        d.first_error = reason;
        return false;
    }
    return true;
}

} // namespace

bool tiff_probe(const char *file, GSbitmapInfo *info)
{
    Diagnostics d;
    TiffPtr tif = open(file, d);
    std::uint32_t width = 0, height = 0;
    if (!tif || !check(tif.get(), d, width, height))
        return false;
    if (info)
        *info = GSbitmapInfo(static_cast<int>(width), static_cast<int>(height), 32);
    return true;
}

Decoded tiff_decode(const char *file)
{
    Decoded result;
    Diagnostics d;
    TiffPtr tif = open(file, d);
    std::uint32_t width = 0, height = 0;
    if (!tif || !check(tif.get(), d, width, height)) {
        result.error = d.first_error;
        return result;
    }
    std::vector<std::uint32_t> raster;
    auto bitmap = std::make_unique<GSbitmap>(static_cast<int>(width), static_cast<int>(height), 32);
    try {
        raster.resize(static_cast<std::size_t>(width) * height);
    } catch (const std::bad_alloc &) {
    }
    if (raster.empty() || bitmap->size() == 0) {
        result.error = "out of memory for the TIFF picture";
        return result;
    }
    if (!TIFFReadRGBAImageOriented(tif.get(), width, height, raster.data(), ORIENTATION_BOTLEFT,
                                   1) ||
        !d.first_error.empty()) {
        result.error = d.first_error.empty() ? "unreadable TIFF picture data" : d.first_error;
        return result;
    }
    std::uint8_t *out = bitmap->bitmap();
    // Pictures with alpha keep libtiff's colours multiplied by alpha: with alpha set to 255
    // they show as if laid over black, and fully transparent pixels do not show stale colour.
    for (std::uint32_t v : raster) {
        out[0] = static_cast<std::uint8_t>(TIFFGetR(v));
        out[1] = static_cast<std::uint8_t>(TIFFGetG(v));
        out[2] = static_cast<std::uint8_t>(TIFFGetB(v));
        out[3] = 255;
        out += 4;
    }
    result.bitmap = std::move(bitmap);
    return result;
}

} // namespace kiv::formats
