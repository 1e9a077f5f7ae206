// Text output of the part writers: gathered in blocks, numbers formatted as "%g" with six
// digits and without the locale, so a host that sets a decimal comma still writes files every
// reader accepts.
#pragma once

#include <kivctrl/qel_stream.h>

#include <charconv>
#include <string>
#include <string_view>
#include <type_traits>

class PartTextOutput {
public:
    explicit PartTextOutput(QelFileWriter &out) : out_(out) { buf_.reserve(kBlock + 256); }

    PartTextOutput &operator<<(std::string_view s)
    {
        buf_ += s;
        if (buf_.size() >= kBlock)
            flush();
        return *this;
    }
    PartTextOutput &operator<<(float v) { return number(v); }
    PartTextOutput &operator<<(long long v) { return number(v); }
    PartTextOutput &operator<<(int v) { return number(static_cast<long long>(v)); }
    PartTextOutput &operator<<(size_t v) { return number(static_cast<long long>(v)); }

    // Numbers separated by single spaces, then a line feed.
    template <class... T> void line(const T &...v)
    {
        const char *sep = "";
        ((*this << sep << v, sep = " "), ...);
        *this << "\n";
    }
    PartTextOutput &triple(const float *v) { return *this << v[0] << " " << v[1] << " " << v[2]; }

    // False when the stream reported an error at any point.
    bool finish()
    {
        flush();
        return ok_;
    }

private:
    static constexpr size_t kBlock = 1 << 16;

    template <class T> PartTextOutput &number(T v)
    {
        char text[32];
        std::to_chars_result r;
        if constexpr (std::is_floating_point_v<T>)
            r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 6);
        else
            r = std::to_chars(text, text + sizeof text, v);
        return *this << std::string_view(text, static_cast<size_t>(r.ptr - text));
    }

    void flush()
    {
        if (buf_.empty())
            return;
        out_.write(buf_.c_str());
        ok_ = ok_ && out_.error() == 0;
        buf_.clear();
    }

    QelFileWriter &out_;
    std::string buf_;
    bool ok_ = true;
};
