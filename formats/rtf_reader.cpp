// The "rtf" image reader: Rich Text Format files become 1-bit note pictures.
#include "formats/rtf_image.h"

#include <kivctrl/gs_image.h>

#include "platform/local_path.h"
#include "platform/string_table.h"

#include <cctype>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// Larger files are no notes; refused rather than read.
constexpr std::streamoff kMaxFileBytes = 16 << 20;

bool has_rtf_extension(const std::string &file)
{
    const auto dot = file.find_last_of('.');
    if (dot == std::string::npos || file.find_first_of("/\\", dot) != std::string::npos)
        return false;
    std::string ext = file.substr(dot + 1);
    for (char &c : ext)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return ext == "rtf";
}

class RtfReader : public GSimageReader {
public:
    using GSimageReader::GSimageReader;

    int read(GSbitmap **bitmap) override
    {
        *bitmap = nullptr;
        if (!has_rtf_extension(params_.file))
            return 0;
        std::ifstream in(kiv::platform::resolve_local_path(params_.file), std::ios::binary);
        if (!in)
            return 0;
        in.seekg(0, std::ios::end);
        const std::streamoff size = in.tellg();
        if (size < 0 || size > kMaxFileBytes)
            return 0;
        in.seekg(0);
        const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::unique_ptr<GSbitmap> b = kiv::formats::rtf_image(bytes);
        if (!b) {
            error_ = 1;
            return 0;
        }
        *bitmap = b.release();
        return 1;
    }

    // The size the text is laid out in, before anything is read.
    int info(GSbitmapInfo *info) override
    {
        if (info)
            *info = GSbitmapInfo(kiv::formats::kRtfWidth, 192, 1);
        return 1;
    }
};

class RtfReaderFactory : public GSimageReaderFactoryImp {
public:
    RtfReaderFactory() : GSimageReaderFactoryImp("rtf") { image_reader_register(this); }
    ~RtfReaderFactory() override { image_reader_unregister(this); }
    RtfReaderFactory(const RtfReaderFactory &) = delete;
    RtfReaderFactory &operator=(const RtfReaderFactory &) = delete;

    const char *name() override { return "Rich Text Format"; }
    const char *extname() override
    {
        const char *text = kiv::platform::string_resource(40006);
        return text ? text : name();
    }
    // Only files named as rich text: the reader's size report would claim any other file.
    GSimageReader *create(const GSimageParams &params) override
    {
        if (!has_rtf_extension(params.file))
            return nullptr;
        return std::make_unique<RtfReader>(params).release();
    }
};

RtfReaderFactory rtf_reader_factory;

} // namespace
