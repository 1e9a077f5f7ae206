// The built-in image reader factories, registered while the engine is loaded. Each reader
// checks its file when it is made, so a factory gives no reader for a file of another kind.
#include <kivctrl/gs_image.h>
#include <kivctrl/qel_msg.h>

#include "formats/image_decoders.h"
#include "platform/local_path.h"
#include "platform/string_table.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <memory>
#include <vector>

namespace {

using kiv::formats::Decoded;

// Larger files are refused rather than read into memory.
constexpr std::uintmax_t max_file_bytes = std::uintmax_t{512} << 20;

bool read_file(const std::string &name, std::vector<std::uint8_t> &out, std::size_t limit)
{
    std::ifstream in(kiv::platform::resolve_local_path(name), std::ios::binary);
    if (!in)
        return false;
    in.seekg(0, std::ios::end);
    const std::streamoff size = in.tellg();
    if (size < 0 || static_cast<std::uintmax_t>(size) > max_file_bytes)
        return false;
    out.resize(std::min<std::size_t>(static_cast<std::size_t>(size), limit));
    in.seekg(0);
    in.read(reinterpret_cast<char *>(out.data()), static_cast<std::streamsize>(out.size()));
    return static_cast<std::size_t>(in.gcount()) == out.size();
}

// Hands the outcome of a decode to the caller; the reason of a failure goes to the debug
// channel, since the search goes on with the next factory.
int deliver(Decoded d, const std::string &file, GSbitmap **bitmap, int &error)
{
    if (!d.bitmap) {
        error = 1;
        esd_debug_send((file + ": " + d.error).c_str());
        return 0;
    }
    *bitmap = d.bitmap.release();
    return 1;
}

// Readers of the formats decoded from the file's bytes in memory.
class MemoryReader : public GSimageReader {
public:
    using Probe = bool (*)(std::span<const std::uint8_t>, GSbitmapInfo *);
    using Decode = Decoded (*)(std::span<const std::uint8_t>);

    MemoryReader(const GSimageParams &p, std::vector<std::uint8_t> bytes, Probe probe,
                 Decode decode)
        : GSimageReader(p), bytes_(std::move(bytes)), probe_(probe), decode_(decode)
    {
    }
    int read(GSbitmap **bitmap) override
    {
        *bitmap = nullptr;
        return deliver(decode_(bytes_), params_.file, bitmap, error_);
    }
    int info(GSbitmapInfo *info) override { return probe_(bytes_, info); }

private:
    std::vector<std::uint8_t> bytes_;
    Probe probe_;
    Decode decode_;
};

class JpegReader : public GSimageReader {
public:
    using GSimageReader::GSimageReader;
    int read(GSbitmap **bitmap) override
    {
        *bitmap = nullptr;
        return deliver(kiv::formats::jpeg_decode(params_.file.c_str()), params_.file, bitmap,
                       error_);
    }
    // Validates the file only; the record is left as it is.
    int info(GSbitmapInfo *) override { return kiv::formats::jpeg_probe(params_.file.c_str()); }
};

class TiffReader : public GSimageReader {
public:
    using GSimageReader::GSimageReader;
    int read(GSbitmap **bitmap) override
    {
        *bitmap = nullptr;
        return deliver(kiv::formats::tiff_decode(params_.file.c_str()), params_.file, bitmap,
                       error_);
    }
    int info(GSbitmapInfo *info) override
    {
        return kiv::formats::tiff_probe(params_.file.c_str(), info);
    }
};

class Factory : public GSimageReaderFactoryImp {
public:
    Factory(const char *suffix, const char *name, unsigned resource, int hints)
        : GSimageReaderFactoryImp(suffix), name_(name), resource_(resource), hints_(hints)
    {
    }
    const char *name() override { return name_; }
    const char *extname() override
    {
        if (!extname_) {
            const char *text = kiv::platform::string_resource(resource_);
            extname_ = text ? text : name_;
        }
        return extname_;
    }
    int hints() override { return hints_; }

private:
    const char *name_;
    unsigned resource_;
    int hints_;
    const char *extname_ = nullptr;
};

// The file's first 18 bytes must pass Precheck before the whole file is read and checked.
template <auto Precheck, auto Probe, auto Decode> class MemoryFactory : public Factory {
public:
    using Factory::Factory;
    GSimageReader *create(const GSimageParams &params) override
    {
        std::vector<std::uint8_t> bytes;
        if (!read_file(params.file, bytes, 18) || !Precheck(bytes) ||
            !read_file(params.file, bytes, SIZE_MAX) || !Probe(bytes, nullptr))
            return nullptr;
        return std::make_unique<MemoryReader>(params, std::move(bytes), Probe, Decode).release();
    }
};

// Takes files that begin with one of the signatures.
template <class Reader> class SignatureFactory : public Factory {
public:
    SignatureFactory(const char *suffix, const char *name, unsigned resource,
                     std::vector<std::string> signatures)
        : Factory(suffix, name, resource, 0), signatures_(std::move(signatures))
    {
    }
    GSimageReader *create(const GSimageParams &params) override
    {
        std::vector<std::uint8_t> head;
        if (!read_file(params.file, head, 4))
            return nullptr;
        for (const std::string &s : signatures_)
            if (head.size() >= s.size() && std::memcmp(head.data(), s.data(), s.size()) == 0)
                return std::make_unique<Reader>(params).release();
        return nullptr;
    }

private:
    std::vector<std::string> signatures_;
};

bool bmp_signature(std::span<const std::uint8_t> head)
{
    return head.size() >= 2 && head[0] == 'B' && head[1] == 'M';
}

// The Targa header is 18 bytes and says all the check needs.
bool tga_header(std::span<const std::uint8_t> head)
{
    return kiv::formats::tga_probe(head, nullptr);
}

using BmpFactory = MemoryFactory<bmp_signature, kiv::formats::bmp_probe, kiv::formats::bmp_decode>;
using TgaFactory = MemoryFactory<tga_header, kiv::formats::tga_probe, kiv::formats::tga_decode>;

struct BuiltinReaders {
    BmpFactory bmp{"bmp", "Windows Bitmap", 40000, 1};
    SignatureFactory<JpegReader> jpeg{"jpg", "JPEG", 40002, {"\xff\xd8"}};
    TgaFactory tga{"tga", "Truevision Targa", 40004, 0};
    SignatureFactory<TiffReader> tiff{"tif", "Tagged Image File Format", 40005,
                                      {{"II*\0", 4}, {"MM\0*", 4}, {"II+\0", 4}, {"MM\0+", 4}}};

    BuiltinReaders()
    {
        for (GSimageReaderFactory *f : all())
            image_reader_register(f);
    }
    ~BuiltinReaders()
    {
        const auto factories = all();
        for (auto f = factories.rbegin(); f != factories.rend(); ++f)
            image_reader_unregister(*f);
    }
    std::array<GSimageReaderFactory *, 4> all() { return {&bmp, &jpeg, &tga, &tiff}; }
};

BuiltinReaders builtin_readers;

} // namespace
