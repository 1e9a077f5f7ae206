// ExplodingReader on arbitrary bytes read as a run of compressed blocks from a memory file;
// inputs whose first byte is odd are instead written through ImplodingWriter and must read
// back unchanged.
#include <kivctrl/qel_block_stream.h>
#include <kivctrl/qel_stream.h>

#include "fuzz/seeds.h"

#include <cstdint>
#include <memory>
#include <string>

namespace {

constexpr const char *kName = "MEM:fuzz-exploding-reader";

void put(const std::string &bytes)
{
    std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(kName, QEL_STREAM_BINARY));
    w->writeb(bytes.data(), bytes.size());
}

void forget()
{
    std::unique_ptr<QelFileRemover>(QelCreateRemoverInstance(kName))->remove();
}

std::string block_of(const std::string &text)
{
    {
        std::unique_ptr<QelFileWriter> w(QelCreateWriterInstance(kName, QEL_STREAM_BINARY));
        ImplodingWriter block(w.get(), text.size());
        block.writeb(text.data(), text.size());
    }
    std::unique_ptr<QelFileReader> r(QelCreateReaderInstance(kName, QEL_STREAM_BINARY));
    std::string bytes;
    for (int c = r->readch(); c >= 0; c = r->readch())
        bytes += static_cast<char>(c);
    r.reset();
    forget();
    return bytes;
}

std::size_t declared_size(const std::string &bytes, long at)
{
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(bytes[static_cast<std::size_t>(at) + i]);
    return v;
}

kiv::fuzz::Seeds seeds()
{
    std::string text;
    for (int i = 0; i < 300; ++i)
        text += "v " + std::to_string(i % 13) + " " + std::to_string(i % 7) + ".5 0\n";
    return {'\x00' + block_of(text) + block_of("tail"), '\x02' + block_of(std::string(900, 'q')),
            std::string("\x00\x03\0\0\0\x0a\0\0\0abc", 13), '\x01' + text};
}
KIV_FUZZ_SEEDS(seeds);

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    std::string body(reinterpret_cast<const char *>(data) + 1, size - 1);
    if (data[0] & 1) {
        put(block_of(body));
        std::unique_ptr<QelFileReader> source(QelCreateReaderInstance(kName, QEL_STREAM_BINARY));
        ExplodingReader r(source.get());
        std::string back(body.size() + 1, '\0');
        if (r.error() || r.readb(back.data(), back.size()) != body.size() || back.compare(0, body.size(), body))
            __builtin_trap();
    } else {
        put(body);
        std::unique_ptr<QelFileReader> source(QelCreateReaderInstance(kName, QEL_STREAM_BINARY));
        while (!source->iseof()) {
            long before = source->tell();
            ExplodingReader r(source.get());
            bool sound = r.error() == 0;
            std::size_t n = 0;
            while (r.readch() >= 0)
                ++n;
            // A block read without error holds exactly its declared text size.
            if (sound && (static_cast<std::size_t>(before) + 4 > body.size() || n != declared_size(body, before)))
                __builtin_trap();
            if (source->tell() == before)
                break;
        }
    }
    forget();
    return 0;
}
