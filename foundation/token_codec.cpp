#include "foundation/token_codec.h"

#include <kivctrl/qel_string.h>

#include <cstring>

namespace kiv::token {
namespace {

bool is_bare_char(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           (c != 0 && std::strchr("_-:./\\", c) != nullptr);
}

bool is_bare(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (!is_bare_char(static_cast<unsigned char>(c)))
            return false;
    return true;
}

// Letters of the ^ escapes for the control characters 7 to 13.
constexpr char control_letters[] = "abtnvfr";

void append_escaped(std::string &out, unsigned char c)
{
    if (c == '"' || c == '^') {
        out += '^';
        out += static_cast<char>(c);
    } else if (c >= 7 && c <= 13) {
        out += '^';
        out += control_letters[c - 7];
    } else if (c < 32 || c >= 127) {
        out += '^';
        out += static_cast<char>('0' + (c >> 6));
        out += static_cast<char>('0' + ((c >> 3) & 7));
        out += static_cast<char>('0' + (c & 7));
    } else {
        out += static_cast<char>(c);
    }
}

int digit_value(int c, int base)
{
    int v = -1;
    if (c >= '0' && c <= '9')
        v = c - '0';
    else if (c >= 'a' && c <= 'f')
        v = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        v = c - 'A' + 10;
    return v >= 0 && v < base ? v : -1;
}

// Reads up to max_digits digits of base; the first character that is not one is pushed back.
unsigned read_number(Source &src, int base, int max_digits, unsigned value)
{
    for (int i = 0; i < max_digits; ++i) {
        const int c = src.get();
        const int d = digit_value(c, base);
        if (d < 0) {
            if (c >= 0)
                src.unget(c);
            break;
        }
        value = value * base + d;
    }
    return value;
}

void append_code_point(std::string &out, unsigned cp)
{
    if (cp < 0x100) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The character an escape stands for; the caret has been read.
void decode_escape(Source &src, std::string &out)
{
    const int c = src.get();
    if (c < 0) {
        out += '^';
        return;
    }
    if (c >= '0' && c <= '7') {
        out += static_cast<char>(read_number(src, 8, 2, c - '0') & 0xFF);
        return;
    }
    if (c == 'x' || c == 'X') {
        append_code_point(out, read_number(src, 16, 4, 0));
        return;
    }
    static constexpr char letters[] = "abfnrtv";
    static constexpr char codes[] = {7, 8, 12, 10, 13, 9, 11};
    const int lower = c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
    if (const char *p = lower ? std::strchr(letters, lower) : nullptr) {
        out += codes[p - letters];
        return;
    }
    out += static_cast<char>(c);
}

std::string decode_quoted(Source &src)
{
    std::string text;
    for (int c = src.get(); c >= 0 && c != '"'; c = src.get()) {
        if (c == '^')
            decode_escape(src, text);
        else
            text += static_cast<char>(c);
    }
    return text;
}

bool is_delim(int c, const char *delims)
{
    return delims && c > 0 && std::strchr(delims, c) != nullptr;
}

} // namespace

std::string encode(std::string_view text)
{
    if (is_bare(text))
        return std::string(text);
    std::string out = "\"";
    for (char c : text)
        append_escaped(out, static_cast<unsigned char>(c));
    out += '"';
    return out;
}

Decoded decode(Source &src, const char *delims)
{
    Decoded d;
    int c = src.get();
    while (c >= 0 && qel_isspace(c))
        c = src.get();
    if (c < 0)
        return d;
    if (c == '"') {
        d.text = decode_quoted(src);
        return d;
    }
    for (; c >= 0; c = src.get()) {
        if (is_delim(c, delims)) {
            src.unget(c);
            break;
        }
        d.text += static_cast<char>(c);
    }
    while (!d.text.empty() && qel_isspace(static_cast<int>(static_cast<unsigned char>(d.text.back())))) {
        d.text.pop_back();
        ++d.trailing_space;
    }
    return d;
}

int store(std::string_view token, char *out, int size)
{
    const auto needed = static_cast<long long>(token.size()) + 1;
    if (out && size > 0) {
        if (needed <= size) {
            token.copy(out, token.size());
            out[token.size()] = 0;
        } else {
            out[0] = 0;
        }
    }
    return needed > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(needed);
}

} // namespace kiv::token
