// JPEG decoding through libjpeg. Library errors throw out of the library's fatal-error routine;
// a file cut short inside its picture data only raises a warning in libjpeg (the rest is
// filled with grey), so that warning fails the read too.
#include "formats/image_decoders.h"

#include <kivctrl/qel_msg.h>

#include "platform/local_path.h"

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

#include <jerror.h>
#include <jpeglib.h>

namespace kiv::formats {

class JPEG_Exception : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

namespace {

struct ErrorManager {
    jpeg_error_mgr base;
    bool truncated = false;
};

std::string message_of(j_common_ptr cinfo)
{
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    return text;
}

[[noreturn]] void throw_error(j_common_ptr cinfo)
{
    throw JPEG_Exception(message_of(cinfo));
}

void debug_message(j_common_ptr cinfo)
{
    esd_debug_send(message_of(cinfo).c_str());
}

void note_message(j_common_ptr cinfo, int level)
{
    auto *err = reinterpret_cast<ErrorManager *>(cinfo->err);
    if (level < 0) {
        ++err->base.num_warnings;
        if (err->base.msg_code == JWRN_JPEG_EOF)
            err->truncated = true;
        (*err->base.output_message)(cinfo);
    }
}

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

// One decompression, destroyed with its file whatever happens.
class Decompressor {
public:
    explicit Decompressor(const char *file)
    {
        cinfo_.err = jpeg_std_error(&err_.base);
        err_.base.error_exit = throw_error;
        err_.base.output_message = debug_message;
        err_.base.emit_message = note_message;
        jpeg_create_decompress(&cinfo_);
        // A throwing constructor gets no destructor call: release the library's memory here.
        try {
            file_.reset(std::fopen(kiv::platform::resolve_local_path(file ? file : "").c_str(), "rb"));
            if (!file_)
                throw JPEG_Exception("cannot open the file");
            jpeg_stdio_src(&cinfo_, file_.get());
            jpeg_read_header(&cinfo_, TRUE);
        } catch (...) {
            jpeg_destroy_decompress(&cinfo_);
            throw;
        }
    }
    ~Decompressor() { jpeg_destroy_decompress(&cinfo_); }
    Decompressor(const Decompressor &) = delete;
    Decompressor &operator=(const Decompressor &) = delete;

    jpeg_decompress_struct &info() { return cinfo_; }
    bool truncated() const { return err_.truncated; }

private:
    ErrorManager err_;
    jpeg_decompress_struct cinfo_{};
    std::unique_ptr<std::FILE, FileCloser> file_;
};

// CMYK scanlines to red, green, blue; Adobe writers store the channels inverted.
void cmyk_to_rgb(const JSAMPLE *in, std::uint8_t *out, JDIMENSION width, bool inverted)
{
    for (JDIMENSION x = 0; x < width; ++x, in += 4, out += 3) {
        const unsigned k = inverted ? in[3] : 255 - in[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned v = inverted ? in[c] : 255 - in[c];
            out[c] = static_cast<std::uint8_t>((v * k + 127) / 255);
        }
    }
}

} // namespace

bool jpeg_probe(const char *file)
{
    try {
        Decompressor d(file);
        return true;
    } catch (const JPEG_Exception &) {
        return false;
    }
}

Decoded jpeg_decode(const char *file)
{
    Decoded result;
    try {
        Decompressor d(file);
        jpeg_decompress_struct &cinfo = d.info();
        const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
        const bool grey = cinfo.num_components == 1;
        cinfo.out_color_space = cmyk ? JCS_CMYK : grey ? JCS_GRAYSCALE : JCS_RGB;
        if (static_cast<std::uint64_t>(cinfo.image_width) * cinfo.image_height > max_image_pixels)
            throw JPEG_Exception("picture too large");
        auto bitmap = std::make_unique<GSbitmap>(static_cast<int>(cinfo.image_width),
                                                 static_cast<int>(cinfo.image_height),
                                                 grey ? 8 : 24);
        if (bitmap->size() == 0)
            throw JPEG_Exception("out of memory for the picture");
        jpeg_start_decompress(&cinfo);
        std::unique_ptr<JSAMPLE[]> line(new JSAMPLE[cinfo.output_width * cinfo.output_components]);
        while (cinfo.output_scanline < cinfo.output_height) {
            const int row = bitmap->height() - 1 - static_cast<int>(cinfo.output_scanline);
            JSAMPROW target = cmyk ? line.get() : bitmap->row(row);
            jpeg_read_scanlines(&cinfo, &target, 1);
            if (cmyk)
                cmyk_to_rgb(line.get(), bitmap->row(row), cinfo.output_width,
                            cinfo.saw_Adobe_marker);
        }
        jpeg_finish_decompress(&cinfo);
        if (d.truncated())
            throw JPEG_Exception("premature end of the JPEG data");
        result.bitmap = std::move(bitmap);
    } catch (const JPEG_Exception &e) {
        result.error = e.what();
    }
    return result;
}

} // namespace kiv::formats
