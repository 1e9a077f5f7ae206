// Reading the text form of facet lists.
#include "formats/stl_text.h"

#include "formats/facet_file.h"

#include <array>
#include <charconv>
#include <climits>
#include <cmath>
#include <vector>

namespace kiv::formats {

namespace {

bool is_space(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

bool is_control(unsigned char c)
{
    return (c < 0x20 && !is_space(c)) || c == 0x7f;
}

bool is_letter(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool is_digit(unsigned char c)
{
    return c >= '0' && c <= '9';
}

bool is_word_char(unsigned char c)
{
    return is_letter(c) || is_digit(c) || c == '_';
}

bool iequals(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(a[i]);
        if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
        if (c != static_cast<unsigned char>(b[i])) return false;
    }
    return true;
}

enum class Keyword { solid, color, facet, normal, outer, vertex, end, endloop, endfacet, endsolid, loop, other };

Keyword classify(std::string_view w)
{
    if (w.size() < 3 || w.size() > 8) return Keyword::other;
    char lower[8];
    for (size_t i = 0; i < w.size(); ++i) {
        const char c = w[i];
        lower[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    const std::string_view l(lower, w.size());
    auto is = [&l](std::string_view text, Keyword k) { return l == text ? k : Keyword::other; };
    switch (l[0]) {
    case 's': return is("solid", Keyword::solid);
    case 'c': return is("color", Keyword::color);
    case 'f': return is("facet", Keyword::facet);
    case 'n': return is("normal", Keyword::normal);
    case 'o': return is("outer", Keyword::outer);
    case 'v': return is("vertex", Keyword::vertex);
    case 'l': return is("loop", Keyword::loop);
    case 'e':
        if (l == "end") return Keyword::end;
        if (l == "endloop") return Keyword::endloop;
        if (l == "endfacet") return Keyword::endfacet;
        return is("endsolid", Keyword::endsolid);
    default: return Keyword::other;
    }
}

bool non_number_word(std::string_view w)
{
    return iequals(w, "nan") || iequals(w, "inf") || iequals(w, "infinity");
}

// A number at the start of s (after an optional sign): its value and length, or length 0.
// Values beyond the float range become infinite, values below it zero or denormal.
std::pair<float, size_t> scan_number(std::string_view s)
{
    size_t i = 0;
    const bool negative = s[0] == '-';
    if (s[0] == '+' || s[0] == '-') i = 1;
    if (i >= s.size() || !(is_digit(static_cast<unsigned char>(s[i])) || s[i] == '.')) return {0.0f, 0};
    const char *first = s.data() + i, *last = s.data() + s.size();
    float value = 0.0f;
    auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        double wide = 0.0;
        const auto r = std::from_chars(first, last, wide, std::chars_format::general);
        end = r.ptr;
        if (r.ec == std::errc()) {
            value = static_cast<float>(wide);
        } else {
            // Beyond even a double: tiny when its exponent is negative, else huge.
            const std::string_view text(first, size_t(end - first));
            const size_t e = text.find_first_of("eE");
            value = e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-' ? 0.0f : HUGE_VALF;
        }
        ec = std::errc();
    }
    if (ec != std::errc()) return {0.0f, 0};
    return {negative ? -value : value, size_t(end - s.data())};
}

}  // namespace

// Splits text into words and numbers and hands them to a sink with the methods
// word(string_view), number(float), malformed() and control(); each returns false to stop.
// The sink may ask for the rest of the current line to be skipped.
class FacetLexer {
public:
    bool skip_line = false;
    size_t line = 1;

    template <class Sink> bool run(std::string_view s, Sink &sink)
    {
        const size_t n = s.size();
        size_t i = 0;
        while (i < n) {
            const unsigned char c = static_cast<unsigned char>(s[i]);
            if (c == '\n') {
                ++line;
                skip_line = false;
                ++i;
            } else if (is_control(c)) {
                return sink.control();
            } else if (skip_line || is_space(c)) {
                ++i;
            } else if (is_letter(c)) {
                size_t j = i + 1;
                while (j < n && is_word_char(static_cast<unsigned char>(s[j]))) ++j;
                const std::string_view w = s.substr(i, j - i);
                i = j;
                if (!(non_number_word(w) ? sink.number(HUGE_VALF) : sink.word(w))) return false;
            } else if (is_digit(c) || c == '.' || c == '+' || c == '-') {
                const auto [value, length] = scan_number(s.substr(i));
                if (length == 0) {
                    ++i;  // a lone sign or point: skipped like any other character
                    continue;
                }
                i += length;
                // A number runs into a letter, digit or point: the token is broken.
                if (i < n && (is_word_char(static_cast<unsigned char>(s[i])) || s[i] == '.')) {
                    while (i < n && (is_word_char(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
                    if (!sink.malformed()) return false;
                } else if (!sink.number(value)) {
                    return false;
                }
            } else {
                ++i;
            }
        }
        return true;
    }
};

class FacetTextParser {
public:
    explicit FacetTextParser(FacetDialect dialect) : dialect_(dialect) {}

    bool feed(std::string_view piece) { return error_.empty() && lexer_.run(piece, *this); }

    FacetRead finish()
    {
        if (error_.empty()) {
            if (expect_ == Expect::numbers || expect_ == Expect::loop) fail("the file ends inside a record");
            else if (in_facet_) fail("the file ends inside a facet");
            else if (in_solid_) fail("the file ends inside a solid (no \"endsolid\")");
            else if (!completed_) fail("no solid");
        }
        if (!error_.empty()) return {nullptr, error_};
        return {mesh_.finish(last_facet_normals_ == 1 ? 40.0f : 0.0f), {}};
    }

    bool word(std::string_view w)
    {
        const Keyword k = classify(w);
        switch (expect_) {
        case Expect::numbers:
            return fail("three numbers expected after \"" + std::string(name(collecting_)) + "\"");
        case Expect::loop:
            if (k != Keyword::loop) return fail("\"loop\" expected after \"outer\"");
            expect_ = Expect::token;
            return true;
        case Expect::after_end:
            expect_ = Expect::token;
            if (k == Keyword::facet) return end_facet();
            if (k == Keyword::solid) return end_solid();
            break;
        case Expect::token:
            break;
        }
        switch (k) {
        case Keyword::solid:
            if (in_solid_) return fail("\"solid\" inside a solid");
            in_solid_ = true;
            lexer_.skip_line = true;  // the solid's name
            return true;
        case Keyword::color:
            return collect(k);
        case Keyword::facet:
            if (!in_solid_) return fail("\"facet\" outside a solid");
            if (in_facet_) return fail("\"facet\" inside a facet");
            in_facet_ = true;
            corners_.clear();
            normals_.clear();
            next_normal_ = 0;
            return true;
        case Keyword::normal:
            if (!in_facet_) return fail("\"normal\" outside a facet");
            return collect(k);
        case Keyword::vertex:
            if (!in_facet_) return fail("\"vertex\" outside a facet");
            return collect(k);
        case Keyword::outer:
            expect_ = Expect::loop;
            next_normal_ = 0;
            return true;
        case Keyword::end:
            expect_ = Expect::after_end;
            return true;
        case Keyword::endfacet:
            return end_facet();
        case Keyword::endsolid:
            return end_solid();
        case Keyword::endloop:
        case Keyword::loop:
        case Keyword::other:
            return true;
        }
        return true;
    }

    bool number(float v)
    {
        if (expect_ == Expect::loop) return fail("\"loop\" expected after \"outer\"");
        if (expect_ == Expect::after_end) expect_ = Expect::token;
        if (expect_ != Expect::numbers) return true;
        values_[count_++] = v;
        return count_ < 3 || apply();
    }

    bool malformed()
    {
        if (expect_ == Expect::numbers) return fail("malformed number after \"" + std::string(name(collecting_)) + "\"");
        return true;
    }

    bool control() { return fail("a control character: not a text file"); }

private:
    enum class Expect { token, numbers, loop, after_end };

    static std::string_view name(Keyword k)
    {
        return k == Keyword::vertex ? "vertex" : k == Keyword::normal ? "normal" : "color";
    }

    bool fail(std::string why)
    {
        error_ = "line " + std::to_string(lexer_.line) + ": " + why;
        return false;
    }

    bool collect(Keyword k)
    {
        expect_ = Expect::numbers;
        collecting_ = k;
        count_ = 0;
        return true;
    }

    bool apply()
    {
        expect_ = Expect::token;
        const bool finite = std::isfinite(values_[0]) && std::isfinite(values_[1]) && std::isfinite(values_[2]);
        switch (collecting_) {
        case Keyword::color:
            if (!finite) return fail("colour out of range");
            std::copy(values_, values_ + 3, color_);
            return true;
        case Keyword::normal: {
            // A normal without a direction (zero, or out of range) stays zero.
            double n[3] = {values_[0], values_[1], values_[2]};
            const double length = finite ? std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]) : 0.0;
            const float unit[3] = {
                length > 0.0 ? static_cast<float>(n[0] / length) : 0.0f,
                length > 0.0 ? static_cast<float>(n[1] / length) : 0.0f,
                length > 0.0 ? static_cast<float>(n[2] / length) : 0.0f,
            };
            if (mesh_.full()) return fail("too many normals");
            normals_.push_back(mesh_.normal(unit));
            return true;
        }
        default: {
            if (!finite) return fail("vertex coordinates out of range");
            if (mesh_.full()) return fail("too many vertices");
            int normal = -1;
            if (!normals_.empty()) normal = normals_[std::min(next_normal_++, normals_.size() - 1)];
            corners_.push_back({mesh_.vertex(values_), normal});
            return true;
        }
        }
    }

    bool end_facet()
    {
        if (!in_facet_) return fail("\"endfacet\" outside a facet");
        if (corners_.size() < 3) return fail("a facet with fewer than three vertices");
        if (dialect_ == FacetDialect::stl && corners_.size() != 3) return fail("a facet with more than three vertices");
        mesh_.facet(corners_, color_);
        last_facet_normals_ = normals_.size();
        in_facet_ = false;
        return true;
    }

    bool end_solid()
    {
        if (!in_solid_) return fail("\"endsolid\" outside a solid");
        if (in_facet_) return fail("\"endsolid\" inside a facet");
        in_solid_ = false;
        completed_ = true;
        lexer_.skip_line = true;
        return true;
    }

    FacetDialect dialect_;
    FacetLexer lexer_;
    FacetMesh mesh_;
    std::string error_;
    Expect expect_ = Expect::token;
    Keyword collecting_ = Keyword::other;
    float values_[3] = {0.0f, 0.0f, 0.0f};
    int count_ = 0;
    float color_[3] = {1.0f, 1.0f, 1.0f};
    bool in_solid_ = false, in_facet_ = false, completed_ = false;
    std::vector<GScorner> corners_;
    std::vector<int> normals_;  // this facet's normals, handed to its vertices in turn
    size_t next_normal_ = 0;
    size_t last_facet_normals_ = 0;
};

FacetTextReader::FacetTextReader(FacetDialect dialect) : parser_(std::make_unique<FacetTextParser>(dialect)) {}

FacetTextReader::~FacetTextReader() = default;

bool FacetTextReader::feed(std::string_view piece)
{
    return parser_->feed(piece);
}

FacetRead FacetTextReader::finish()
{
    return parser_->finish();
}

FacetRead read_facet_text(std::string_view text, FacetDialect dialect)
{
    FacetTextReader reader(dialect);
    reader.feed(text);
    return reader.finish();
}

FacetRead read_facet_text_file(const std::string &path, FacetDialect dialect, size_t chunk)
{
    const FilePtr f = open_facet_file(path);
    if (!f) return {nullptr, "cannot open the file", true};
    FacetTextReader reader(dialect);
    if (!read_pieces(f.get(), chunk, [&reader](std::string_view piece) { return reader.feed(piece); }))
        return {nullptr, "read error"};
    return reader.finish();
}

namespace {

// Looks for the word "solid"; stops at a control character.
struct SolidFinder {
    bool found = false;
    bool word(std::string_view w) { return !(found = classify(w) == Keyword::solid); }
    bool number(float) { return true; }
    bool malformed() { return true; }
    bool control() { return false; }
};

}  // namespace

bool facet_text_legal(const std::string &path)
{
    const FilePtr f = open_facet_file(path);
    if (!f) return false;
    FacetLexer lexer;
    SolidFinder finder;
    if (!read_pieces(f.get(), size_t{1} << 16, [&](std::string_view piece) { return lexer.run(piece, finder); }))
        return false;
    if (!finder.found) return false;
    unsigned char tail[2];
    if (std::fseek(f.get(), -2, SEEK_END) != 0 || std::fread(tail, 1, 2, f.get()) != 2) return false;
    return tail[0] != 0 || tail[1] != 0;
}

}  // namespace kiv::formats
