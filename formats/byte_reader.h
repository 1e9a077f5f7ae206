// Little-endian reads from a byte span that never step outside it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace kiv::formats {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> data, std::size_t at = 0)
        : data_(data), at_(at)
    {
    }

    std::size_t offset() const { return at_; }
    std::size_t remaining() const { return at_ < data_.size() ? data_.size() - at_ : 0; }
    // False once any read or skip has run past the end; reads past it give 0.
    bool ok() const { return ok_; }

    void seek(std::size_t at)
    {
        at_ = at;
        if (at_ > data_.size())
            ok_ = false;
    }
    void skip(std::size_t n)
    {
        if (n > remaining()) {
            at_ = data_.size();
            ok_ = false;
        } else {
            at_ += n;
        }
    }
    std::uint8_t u8()
    {
        if (at_ >= data_.size()) {
            ok_ = false;
            return 0;
        }
        return data_[at_++];
    }
    std::uint16_t u16()
    {
        const std::uint16_t lo = u8();
        return static_cast<std::uint16_t>(lo | u8() << 8);
    }
    std::uint32_t u32()
    {
        const std::uint32_t lo = u16();
        return lo | static_cast<std::uint32_t>(u16()) << 16;
    }
    std::int32_t i32() { return static_cast<std::int32_t>(u32()); }

private:
    std::span<const std::uint8_t> data_;
    std::size_t at_;
    bool ok_ = true;
};

} // namespace kiv::formats
