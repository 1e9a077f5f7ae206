#include "formats/kvg_lexer.h"

#include "formats/part_file.h"

#include <kivctrl/qel_stream.h>

#include <charconv>
#include <cmath>

namespace {

bool is_blank(int c)
{
    return c == ' ' || c == '\t';
}

bool is_space(int c)
{
    return is_blank(c) || c == '\r' || c == '\n';
}

void trim(std::string &s)
{
    const auto first = s.find_first_not_of(" \t");
    s.erase(0, first == std::string::npos ? s.size() : first);
    s.erase(s.find_last_not_of(" \t") + 1);
}

} // namespace

std::string KvgLexer::shown(std::string_view text)
{
    constexpr std::size_t kShown = 24;
    std::string s = "\"";
    for (std::size_t i = 0; i < text.size() && i < kShown; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        s += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    }
    if (text.size() > kShown)
        s += "...";
    return s + "\"";
}

int KvgLexer::get()
{
    if (pos_ == len_) {
        if (eof_)
            return -1;
        len_ = in_.readb(buf_, sizeof buf_);
        pos_ = 0;
        if (len_ == 0) {
            eof_ = true;
            return -1;
        }
    }
    return static_cast<unsigned char>(buf_[pos_++]);
}

int KvgLexer::peek()
{
    const int c = get();
    if (c >= 0)
        --pos_;
    return c;
}

bool KvgLexer::line_end(int c)
{
    if (c == '\r') {
        if (peek() == '\n')
            get();
    } else if (c != '\n') {
        return false;
    }
    ++line_;
    return true;
}

void KvgLexer::fail(std::string_view why) const
{
    throw PartFileError("line " + std::to_string(line_) + ": " + std::string(why));
}

std::string KvgLexer::token(const char *what)
{
    int c = get();
    while (is_blank(c) || line_end(c))
        c = get();
    if (c < 0)
        fail(std::string("the file ends before the ") + what);
    std::string t(1, static_cast<char>(c));
    while ((c = peek()) >= 0 && !is_space(c)) {
        if (t.size() == kMaxLine)
            fail(std::string("the ") + what + " is longer than " + std::to_string(kMaxLine) + " characters");
        t += static_cast<char>(get());
    }
    return t;
}

float KvgLexer::real(const char *what)
{
    const std::string t = token(what);
    const char *first = t.data(), *last = first + t.size();
    if (*first == '+' && t.size() > 1 && first[1] != '-')
        ++first;
    float v = 0.0f;
    std::from_chars_result r = std::from_chars(first, last, v);
    if (r.ec == std::errc::result_out_of_range) {
        // Too small for a float is zero (or a denormal); too large is an error.
        double d = 0.0;
        r = std::from_chars(first, last, d);
        if (r.ec == std::errc() && std::fabs(d) < 1.0)
            v = static_cast<float>(d);
        else
            fail(std::string("the ") + what + " " + shown(t) + " is out of range");
    }
    if (r.ec != std::errc() || r.ptr != last || !std::isfinite(v))
        fail(std::string("expected a number for the ") + what + ", found " + shown(t));
    return v;
}

long long KvgLexer::integer(const char *what, long long min, long long max)
{
    const std::string t = token(what);
    const char *first = t.data(), *last = first + t.size();
    if (*first == '+' && t.size() > 1 && first[1] != '-')
        ++first;
    long long v = 0;
    const auto [end, ec] = std::from_chars(first, last, v);
    if (ec == std::errc::invalid_argument || end != last)
        fail(std::string("expected a whole number for the ") + what + ", found " + shown(t));
    if (ec != std::errc() || v < min || v > max)
        fail(std::string("the ") + what + " " + shown(t) + " is out of range");
    return v;
}

std::string KvgLexer::line(const char *what)
{
    if (peek() < 0)
        fail(std::string("the file ends before the ") + what);
    std::string l;
    for (int c = peek(); c >= 0 && c != '\r' && c != '\n'; c = peek()) {
        if (l.size() + 1 == kMaxLine)
            fail("a line is longer than " + std::to_string(kMaxLine) + " characters");
        l += static_cast<char>(get());
    }
    return l;
}

void KvgLexer::header()
{
    static constexpr std::string_view kPrefix = "KVG Version ";
    if (peek() < 0)
        fail("the file is empty");
    std::string l;
    for (int c = get(); c >= 0 && !line_end(c) && l.size() < kMaxLine; c = get())
        l += static_cast<char>(c);
    trim(l);
    if (!l.starts_with(kPrefix))
        throw PartFileError("not a KVG part file: it does not begin with \"KVG Version 1.2\"");
    const std::string_view version = std::string_view(l).substr(kPrefix.size());
    if (version != "1.1" && version != "1.2")
        throw PartFileError("KVG version " + shown(version) + " is not supported (1.1 and 1.2 are)");
}

std::string KvgLexer::keyword_line(const char *what)
{
    int c = get();
    while (is_blank(c))
        c = get();
    if (c >= 0 && !line_end(c)) {
        std::string rest(1, static_cast<char>(c));
        while ((c = peek()) >= 0 && !is_space(c) && rest.size() < kMaxLine)
            rest += static_cast<char>(get());
        fail("unexpected " + shown(rest) + " after the last number of the line");
    }
    for (;;) {
        std::string l = line(what);
        trim(l);
        if (!l.empty())
            return l;
        line_end(get());
    }
}

void KvgLexer::end()
{
    int c = get();
    while (is_blank(c) || line_end(c))
        c = get();
    if (c >= 0)
        fail("unexpected data after the last face group");
}
