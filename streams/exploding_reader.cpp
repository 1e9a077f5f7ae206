#include <kivctrl/dcl.h>
#include <kivctrl/qel_block_stream.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

namespace {

// Raw text is taken from the source in pieces, so a damaged size field cannot make the
// reader allocate more than the source really holds.
constexpr unsigned long kChunk = 65536;
constexpr std::size_t kReserveCap = std::size_t{16} << 20;

std::int32_t little_endian_i32(const unsigned char *p)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
                                     static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24);
}

struct ExplodeIo {
    QelFileReader &source;
    std::vector<char> &text;
    std::size_t limit;     // bytes the block may take from the source
    std::size_t taken = 0;
    std::size_t wanted;    // declared text size
    std::size_t produced = 0;
};

unsigned int read_compressed(char *buf, unsigned int *size, void *param)
{
    auto &io = *static_cast<ExplodeIo *>(param);
    std::size_t n = std::min<std::size_t>(*size, io.limit - io.taken);
    unsigned long got = n ? io.source.readb(buf, n) : 0;
    io.taken += got;
    return static_cast<unsigned int>(got);
}

void write_text(char *buf, unsigned int *size, void *param)
{
    auto &io = *static_cast<ExplodeIo *>(param);
    std::size_t keep = std::min<std::size_t>(*size, io.wanted - io.text.size());
    io.text.insert(io.text.end(), buf, buf + keep);
    io.produced += *size;
}

int clamp_int(std::size_t n)
{
    return n > INT32_MAX ? INT32_MAX : static_cast<int>(n);
}

} // namespace

ExplodingReader::ExplodingReader(QelFileReader *source) : source_(source)
{
    try {
        load();
    } catch (const std::bad_alloc &) {
        fail();
    }
    source_ = nullptr;
}

void ExplodingReader::load()
{
    unsigned char sizes[8];
    if (!source_ || source_->readb(reinterpret_cast<char *>(sizes), 8) != 8)
        return fail();
    text_size_ = little_endian_i32(sizes);
    stored_size_ = little_endian_i32(sizes + 4);
    if (text_size_ < 0 || stored_size_ < 0)
        return fail();
    if (text_size_ == 0 && stored_size_ == 0)
        return;
    if (text_size_ < stored_size_) {
        std::size_t want = static_cast<std::size_t>(text_size_);
        char chunk[4096];
        while (buffer_.size() < want) {
            unsigned long n = std::min<std::size_t>(sizeof chunk, want - buffer_.size());
            unsigned long got = source_->readb(chunk, n);
            buffer_.insert(buffer_.end(), chunk, chunk + got);
            if (got < n)
                return fail();
        }
        if (buffer_.capacity() > want + kChunk)
            buffer_.shrink_to_fit();
        return;
    }
    explode_from_source();
}

void ExplodingReader::explode_from_source()
{
    std::vector<char> work(DCL_EXPLODE_WORK_SIZE);
    ExplodeIo io{*source_, buffer_, static_cast<std::size_t>(stored_size_), 0,
                 static_cast<std::size_t>(text_size_)};
    // Room taken ahead spares the copies of a growing buffer. Both sizes come from the file,
    // so it is bounded by what the stored size can yield (under 256 bytes per stored byte) and
    // by kReserveCap, so a short damaged file cannot reserve gigabytes; larger blocks grow.
    buffer_.reserve(std::min({io.wanted, 256 * io.limit + kChunk, kReserveCap}));
    unsigned int status = dcl_explode(read_compressed, write_text, work.data(), &io);
    taken_ = clamp_int(io.taken);
    produced_ = clamp_int(io.produced);
    // The decompressor may stop before the last stored byte; the next block starts after it.
    char skip[4096];
    while (io.taken < io.limit) {
        unsigned long n = std::min<std::size_t>(sizeof skip, io.limit - io.taken);
        unsigned long got = source_->readb(skip, n);
        io.taken += got;
        if (got < n)
            break;
    }
    if (status != 0 || io.produced != io.wanted)
        fail();
}

int ExplodingReader::readch()
{
    if (static_cast<std::size_t>(position_) >= buffer_.size()) {
        err_ = 1;
        return -1;
    }
    if (!damaged_)
        err_ = 0;
    return static_cast<unsigned char>(buffer_[position_++]);
}

int ExplodingReader::unreadch(int c)
{
    if (c < 0 || position_ == 0)
        return -1;
    --position_;
    return c;
}

unsigned long ExplodingReader::readb(char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    std::size_t count = std::min<std::size_t>(n, buffer_.size() - static_cast<std::size_t>(position_));
    if (count)
        std::memcpy(buf, buffer_.data() + position_, count);
    position_ += static_cast<int>(count);
    if (count < n)
        err_ = 1;
    else if (!damaged_)
        err_ = 0;
    return count;
}

bool ExplodingReader::iseof()
{
    return static_cast<std::size_t>(position_) >= buffer_.size();
}

int ExplodingReader::seek(long, Origin)
{
    return -1;
}

long ExplodingReader::tell()
{
    return -1;
}
