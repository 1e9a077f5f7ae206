// The PNG still-picture writer plug-in. "dll_init" registers its factory with the still
// writer registry and "dll_term" takes it out again.
//
// A bitmap of depth 32 is written as 8-bit RGBA, 24 as RGB, 16 as grey and alpha, 8 as grey
// and 1 as 1-bit grey, top row first. The picture goes to a temporary file beside the target
// that replaces the target only when complete, so a failed write leaves no broken file.
#include <kivctrl/gs_image.h>
#include <kivctrl/qel_msg.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include <png.h>

namespace {

class PngError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

[[noreturn]] void throw_error(png_structp, png_const_charp message)
{
    throw PngError(message);
}

void ignore_warning(png_structp, png_const_charp) {}

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

int colour_type(int depth)
{
    switch (depth) {
    case 32: return PNG_COLOR_TYPE_RGB_ALPHA;
    case 24: return PNG_COLOR_TYPE_RGB;
    case 16: return PNG_COLOR_TYPE_GRAY_ALPHA;
    case 8:
    case 1: return PNG_COLOR_TYPE_GRAY;
    default: return -1;
    }
}

void write_png(const GSbitmap &b, std::FILE *file)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, throw_error,
                                              ignore_warning);
    if (!png)
        throw PngError("out of memory");
    png_infop info = png_create_info_struct(png);
    struct Destroy {
        png_structp &png;
        png_infop &info;
        ~Destroy() { png_destroy_write_struct(&png, &info); }
    } destroy{png, info};
    if (!info)
        throw PngError("out of memory");
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(b.width()),
                 static_cast<png_uint_32>(b.height()), b.depth() == 1 ? 1 : 8,
                 colour_type(b.depth()), PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // Bitmaps keep the bottom row first; PNG starts at the top.
    for (int y = b.height() - 1; y >= 0; --y)
        png_write_row(png, b.row(y));
    png_write_end(png, info);
}

class PngWriter : public GSimageWriter {
public:
    using GSimageWriter::GSimageWriter;

    int write(const GSbitmap *bitmap) override
    {
        error_ = 1;
        const std::string &target = params_.file;
        if (bitmap == nullptr || bitmap->size() == 0 || colour_type(bitmap->depth()) < 0 ||
            target.empty()) {
            esd_send("Cannot write the picture to %1", target.c_str());
            return 0;
        }
        const std::string temporary = target + ".part";
        try {
            std::unique_ptr<std::FILE, FileCloser> file(std::fopen(temporary.c_str(), "wb"));
            if (!file)
                throw PngError("cannot create the file");
            write_png(*bitmap, file.get());
            if (std::fclose(file.release()) != 0)
                throw PngError("cannot finish the file");
            if (std::rename(temporary.c_str(), target.c_str()) != 0)
                throw PngError("cannot replace the file");
        } catch (const PngError &e) {
            std::remove(temporary.c_str());
            esd_send("Cannot write the picture to %1: %2", target.c_str(), e.what());
            return 0;
        }
        error_ = 0;
        return 1;
    }
};

class PngWriterFactory : public GSimageWriterFactoryImp {
public:
    PngWriterFactory() : GSimageWriterFactoryImp("png") {}
    const char *name() override { return "Portable Network Graphics"; }
    GSimageWriter *create(const GSimageParams &params) override
    {
        return std::make_unique<PngWriter>(params).release();
    }
};

PngWriterFactory factory;

} // namespace

extern "C" void dll_init(void *)
{
    still_writer_register(&factory);
}

extern "C" void dll_term()
{
    still_writer_unregister(&factory);
}
