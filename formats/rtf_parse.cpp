#include "formats/rtf_document.h"

#include <iconv.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <map>
#include <memory>

namespace kiv::formats {
namespace {

constexpr std::size_t kMaxDepth = 4096; // deeper groups share the innermost kept state
constexpr double kDefaultSize = 16.0;   // 12 points

enum class Dest { text, fonttable, skip };

struct State {
    RtfFormat format;
    int uc = 1;
    int codepage = 1252;
    Dest dest = Dest::text;
    bool ignorable = false; // after \*: the next control word starts a skipped destination
};

struct Font {
    std::string name;
    int codepage = 0; // 0: the document's
};

// The code page a font character set stands for; 0 for the document's own.
int charset_codepage(int charset)
{
    static const std::map<int, int> pages = {
        {77, 10000}, {128, 932}, {129, 949}, {134, 936}, {136, 950}, {161, 1253}, {162, 1254},
        {163, 1258}, {177, 1255}, {178, 1256}, {186, 1257}, {204, 1251}, {222, 874}, {238, 1250}};
    auto it = pages.find(charset);
    return it == pages.end() ? 0 : it->second;
}

// Converts bytes of one code page to UTF-8; undecodable bytes become U+FFFD.
class Decoder {
public:
    ~Decoder()
    {
        for (auto &[page, cd] : converters_) {
            if (cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(cd);
        }
    }
    void append(int codepage, const std::string &bytes, std::string &out)
    {
        if (codepage == 65001) {
            out += bytes;
            return;
        }
        iconv_t cd = converter(codepage);
        if (cd == reinterpret_cast<iconv_t>(-1))
            cd = converter(1252);
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char *in = const_cast<char *>(bytes.data());
        size_t inleft = bytes.size();
        while (inleft > 0) {
            char buffer[256];
            char *o = buffer;
            size_t oleft = sizeof buffer;
            const size_t r = iconv(cd, &in, &inleft, &o, &oleft);
            out.append(buffer, static_cast<size_t>(o - buffer));
            if (r == static_cast<size_t>(-1) && errno != E2BIG) {
                out += "\xEF\xBF\xBD";
                ++in;
                --inleft;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
    }

private:
    iconv_t converter(int codepage)
    {
        auto it = converters_.find(codepage);
        if (it != converters_.end())
            return it->second;
        const std::string name = codepage == 10000 ? "MACINTOSH" : "CP" + std::to_string(codepage);
        const iconv_t cd = iconv_open("UTF-8", name.c_str());
        converters_.emplace(codepage, cd);
        return cd;
    }
    std::map<int, iconv_t> converters_;
};

void append_utf8(char32_t c, std::string &out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | c >> 6);
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        if (c >= 0xD800 && c <= 0xDFFF)
            c = 0xFFFD;
        out += static_cast<char>(0xE0 | c >> 12);
        out += static_cast<char>(0x80 | (c >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool skipped_destination(std::string_view word)
{
    static const std::string_view words[] = {
        "colortbl", "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
        "footer", "footerl", "footerr", "footerf", "footnote", "listtable", "listoverridetable",
        "revtbl", "rsidtbl", "filetbl", "themedata", "colorschememapping", "datastore",
        "latentstyles", "shppict", "nonshppict", "xe", "tc", "fldinst", "generator", "pn"};
    return std::find(std::begin(words), std::end(words), word) != std::end(words);
}

class Parser {
public:
    explicit Parser(std::string_view in) : in_(in) {}

    RtfDocument run()
    {
        states_.push_back(State{});
        while (pos_ < in_.size() && doc_.text.size() < kRtfMaxText) {
            const char c = in_[pos_++];
            switch (c) {
            case '{':
                open_group();
                break;
            case '}':
                close_group();
                break;
            case '\\':
                control();
                break;
            case '\r':
            case '\n':
                break;
            default:
                character(static_cast<unsigned char>(c));
                break;
            }
        }
        flush();
        return std::move(doc_);
    }

private:
    State &state() { return states_.back(); }

    void open_group()
    {
        flush();
        skip_ = 0;
        if (states_.size() < kMaxDepth)
            states_.push_back(state());
        else
            ++overflow_;
        state().ignorable = false;
    }

    void close_group()
    {
        flush();
        skip_ = 0;
        if (overflow_ > 0) {
            --overflow_;
        } else if (states_.size() > 1) {
            if (state().dest == Dest::fonttable)
                end_font_name();
            states_.pop_back();
        }
    }

    // A text byte in the current code page (or a font name byte in the font table).
    void character(unsigned char c)
    {
        if (skip_ > 0) {
            --skip_;
            return;
        }
        State &s = state();
        if (s.dest == Dest::fonttable) {
            if (c == ';')
                end_font_name();
            else
                fontname_ += static_cast<char>(c);
            return;
        }
        if (s.dest != Dest::text || c < 0x20)
            return;
        pending_ += static_cast<char>(c);
    }

    void unicode(char32_t c)
    {
        const State &s = state();
        if (s.dest != Dest::text)
            return;
        flush();
        std::string u;
        append_utf8(c, u);
        emit(u);
    }

    void end_font_name()
    {
        if (fontid_ >= 0) {
            while (!fontname_.empty() && fontname_.front() == ' ')
                fontname_.erase(0, 1);
            Font &f = fonts_[fontid_];
            if (!fontname_.empty())
                f.name = fontname_;
        }
        fontname_.clear();
    }

    // Appends converted pending bytes to the document.
    void flush()
    {
        if (pending_.empty())
            return;
        std::string u;
        decoder_.append(state().codepage, pending_, u);
        pending_.clear();
        emit(u);
    }

    void emit(const std::string &u)
    {
        if (u.empty())
            return;
        std::string &text = doc_.text;
        const std::size_t room = kRtfMaxText - std::min(kRtfMaxText, text.size());
        std::size_t n = std::min(room, u.size());
        while (n > 0 && n < u.size() && (static_cast<unsigned char>(u[n]) & 0xC0) == 0x80)
            --n; // never split a character
        if (n == 0)
            return;
        const RtfFormat &f = state().format;
        if (!doc_.spans.empty() && doc_.spans.back().end == text.size() && doc_.spans.back().format == f)
            doc_.spans.back().end += n;
        else
            doc_.spans.push_back({text.size(), text.size() + n, f});
        text.append(u, 0, n);
    }

    void control()
    {
        if (pos_ >= in_.size())
            return;
        const char c = in_[pos_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++pos_;
            symbol(c);
            return;
        }
        std::string word;
        while (pos_ < in_.size() && std::isalpha(static_cast<unsigned char>(in_[pos_])) && word.size() < 32)
            word += in_[pos_++];
        bool has = false, negative = false;
        long value = 0;
        if (pos_ < in_.size() && in_[pos_] == '-') {
            negative = true;
            ++pos_;
        }
        int digits = 0;
        while (pos_ < in_.size() && std::isdigit(static_cast<unsigned char>(in_[pos_]))) {
            if (digits++ < 10)
                value = value * 10 + (in_[pos_] - '0');
            has = true;
            ++pos_;
        }
        if (negative)
            value = -value;
        if (pos_ < in_.size() && in_[pos_] == ' ')
            ++pos_;
        if (skip_ > 0 && word != "bin") {
            --skip_;
            return;
        }
        keyword(word, has, value);
    }

    void symbol(char c)
    {
        if (c == '\'') {
            int byte = 0;
            for (int k = 0; k < 2 && pos_ < in_.size(); ++k) {
                const char h = in_[pos_];
                if (!std::isxdigit(static_cast<unsigned char>(h)))
                    break;
                byte = byte * 16 + (std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 0x20) - 'a' + 10);
                ++pos_;
            }
            character(static_cast<unsigned char>(byte));
            return;
        }
        if (skip_ > 0) {
            --skip_;
            return;
        }
        switch (c) {
        case '\\':
        case '{':
        case '}':
            character(static_cast<unsigned char>(c));
            break;
        case '~':
            unicode(0xA0);
            break;
        case '_':
            unicode(0x2011);
            break;
        case '*':
            state().ignorable = true;
            break;
        case '\r':
        case '\n':
            keyword("par", false, 0);
            break;
        default:
            break;
        }
    }

    void keyword(std::string_view w, bool has, long value)
    {
        State &s = state();
        const bool ignorable = s.ignorable;
        s.ignorable = false;
        if (w == "bin") {
            // Binary data: skipped whole, however it looks.
            flush();
            const auto n = static_cast<std::size_t>(std::max(0L, value));
            pos_ += std::min(n, in_.size() - pos_);
            return;
        }
        if (s.dest == Dest::skip)
            return;
        if (w == "fonttbl") {
            flush();
            s.dest = Dest::fonttable;
            fontid_ = -1;
            return;
        }
        if (ignorable || skipped_destination(w)) {
            flush();
            s.dest = Dest::skip;
            return;
        }
        if (s.dest == Dest::fonttable) {
            if (w == "f") {
                end_font_name();
                fontid_ = static_cast<int>(value);
            } else if (w == "fcharset" && fontid_ >= 0) {
                fonts_[fontid_].codepage = charset_codepage(static_cast<int>(value));
            }
            return;
        }
        const bool on = !has || value != 0;
        RtfFormat next = s.format;
        int codepage = s.codepage;
        if (w == "ansicpg" && value > 0) {
            docpage_ = static_cast<int>(value);
            codepage = docpage_;
        } else if (w == "deff") {
            deff_ = static_cast<int>(value);
        } else if (w == "f") {
            auto it = fonts_.find(static_cast<int>(value));
            next.font = it == fonts_.end() ? std::string() : it->second.name;
            codepage = it == fonts_.end() || it->second.codepage == 0 ? docpage_ : it->second.codepage;
        } else if (w == "fs") {
            next.size = std::clamp(value / 2.0 * 96.0 / 72.0, 1.0, kRtfMaxSize);
        } else if (w == "b") {
            next.bold = on;
        } else if (w == "i") {
            next.italic = on;
        } else if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw") {
            next.underline = on;
        } else if (w == "ulnone") {
            next.underline = false;
        } else if (w == "strike") {
            next.strike = on;
        } else if (w == "plain") {
            next = RtfFormat{};
            next.size = kDefaultSize;
            auto it = fonts_.find(deff_);
            if (it != fonts_.end())
                next.font = it->second.name;
        } else if (w == "uc") {
            s.uc = static_cast<int>(std::clamp(value, 0L, 10L));
        } else if (w == "u") {
            const long code = value < 0 ? value + 65536 : value;
            unicode(code >= 0 && code <= 0xFFFF ? static_cast<char32_t>(code) : 0xFFFD);
            skip_ = state().uc;
            return;
        } else if (w == "par" || w == "line" || w == "sect" || w == "page" || w == "row") {
            flush();
            emit("\n");
        } else if (w == "tab" || w == "cell") {
            flush();
            emit("\t");
        } else if (w == "emdash") {
            unicode(0x2014);
        } else if (w == "endash") {
            unicode(0x2013);
        } else if (w == "bullet") {
            unicode(0x2022);
        } else if (w == "lquote") {
            unicode(0x2018);
        } else if (w == "rquote") {
            unicode(0x2019);
        } else if (w == "ldblquote") {
            unicode(0x201C);
        } else if (w == "rdblquote") {
            unicode(0x201D);
        }
        if (!(next == s.format) || codepage != s.codepage) {
            flush();
            s.format = next;
            s.codepage = codepage;
        }
    }

    std::string_view in_;
    std::size_t pos_ = 0;
    std::vector<State> states_;
    std::size_t overflow_ = 0;
    int skip_ = 0; // replacement characters still to skip after \u
    std::map<int, Font> fonts_;
    int fontid_ = -1;
    std::string fontname_;
    int docpage_ = 1252;
    int deff_ = 0;
    std::string pending_;
    Decoder decoder_;
    RtfDocument doc_;
};

} // namespace

std::optional<RtfDocument> rtf_parse(std::string_view bytes)
{
    if (bytes.substr(0, 5) != "{\\rtf")
        return std::nullopt;
    return Parser(bytes).run();
}

} // namespace kiv::formats
