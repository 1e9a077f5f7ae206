#include <kivctrl/dcl.h>
#include <kivctrl/qel_block_stream.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <stdexcept>

namespace {

struct ImplodeIo {
    const std::vector<char> &text;
    std::size_t read = 0;
    std::vector<char> &packed; // holds at most text.size() bytes
    std::size_t packed_size = 0;
};

unsigned int read_text(char *buf, unsigned int *size, void *param)
{
    auto &io = *static_cast<ImplodeIo *>(param);
    std::size_t n = std::min<std::size_t>(*size, io.text.size() - io.read);
    if (n)
        std::memcpy(buf, io.text.data() + io.read, n);
    io.read += n;
    return static_cast<unsigned int>(n);
}

// Output beyond the text size is only counted: the block then keeps the text itself.
void write_packed(char *buf, unsigned int *size, void *param)
{
    auto &io = *static_cast<ImplodeIo *>(param);
    std::size_t room = io.packed.size() > io.packed_size ? io.packed.size() - io.packed_size : 0;
    std::size_t keep = std::min<std::size_t>(*size, room);
    if (keep)
        std::memcpy(io.packed.data() + io.packed_size, buf, keep);
    io.packed_size += *size;
}

void put_u32(char *p, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<char>(v >> (8 * i));
}

} // namespace

ImplodingWriter::ImplodingWriter(QelFileWriter *target, unsigned long capacity) : target_(target)
{
    // Settle for less room up front when memory is short; the buffer grows as needed.
    for (; capacity > 0; capacity /= 2) {
        try {
            text_.reserve(capacity);
            break;
        } catch (const std::bad_alloc &) {
        } catch (const std::length_error &) {
        }
    }
    if (!target_)
        err_ = 1;
}

ImplodingWriter::~ImplodingWriter()
{
    close();
}

bool ImplodingWriter::append(const char *data, unsigned long n)
{
    if (closed_) {
        err_ = 1;
        return false;
    }
    if (text_.size() + n > INT32_MAX) {
        err_ = -1;
        return false;
    }
    try {
        text_.insert(text_.end(), data, data + n);
    } catch (const std::bad_alloc &) {
        err_ = -1;
        return false;
    }
    return true;
}

int ImplodingWriter::close()
{
    if (closed_)
        return err_;
    closed_ = true;
    if (!target_)
        return err_ = 1;
    try {
        std::vector<char> packed(text_.size());
        std::vector<char> work(DCL_IMPLODE_WORK_SIZE);
        ImplodeIo io{text_, 0, packed, 0};
        if (dcl_implode(read_text, write_packed, work.data(), &io, DCL_BINARY, 4096) != 0)
            return err_ = 1;
        const bool compressed = io.packed_size <= text_.size();
        char sizes[8];
        put_u32(sizes, static_cast<std::uint32_t>(text_.size()));
        put_u32(sizes + 4, static_cast<std::uint32_t>(std::min<std::size_t>(io.packed_size, UINT32_MAX)));
        const std::vector<char> &body = compressed ? packed : text_;
        std::size_t body_size = compressed ? io.packed_size : text_.size();
        if (target_->writeb(sizes, 8) != 8 || target_->writeb(body.data(), body_size) != body_size)
            err_ = target_->error() ? target_->error() : 1;
    } catch (const std::bad_alloc &) {
        err_ = -1;
    }
    text_ = {};
    return err_;
}

int ImplodingWriter::write(const unsigned short *s)
{
    if (!s)
        return err_;
    for (; *s; ++s)
        if (write(static_cast<unsigned short>(*s)))
            break;
    return err_;
}

int ImplodingWriter::write(const char *s)
{
    if (s)
        append(s, std::strlen(s));
    return err_;
}

int ImplodingWriter::write(unsigned short c)
{
    return write(static_cast<char>(c & 0xFF));
}

int ImplodingWriter::write(char c)
{
    append(&c, 1);
    return err_;
}

unsigned long ImplodingWriter::writeb(const char *buf, unsigned long n)
{
    if (!buf)
        return 0;
    return append(buf, n) ? n : 0;
}
